#pragma once

#include <memory>
#include <utility>

namespace tintra {

// Lets callbacks that may outlive their owner (monitor handlers, work handed
// back from another thread) hold it weakly: they reach the owner while it
// exists and do nothing afterwards. The owner keeps a WeakSelf as a member.
// The callbacks may be copied on any thread but must be called on the owner's.
template <typename Owner>
class WeakSelf {
public:
    explicit WeakSelf(Owner& owner) : self_(std::make_shared<Owner*>(&owner)) {}
    WeakSelf(const WeakSelf&) = delete;
    WeakSelf& operator=(const WeakSelf&) = delete;

    // A callable that runs body(owner, args…) while the owner exists.
    template <typename Body>
    auto bind(Body body) const
    {
        return [weak = std::weak_ptr<Owner*>(self_), body = std::move(body)](auto&&... args) {
            if (auto self = weak.lock())
                body(**self, std::forward<decltype(args)>(args)...);
        };
    }

private:
    std::shared_ptr<Owner*> self_;
};

} // namespace tintra
