#pragma once

#include "support/Observable.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tintra {

// Callbacks that an adapter tells in the order they subscribed. A listener may
// subscribe, unsubscribe or tell again while being told. Main thread only.
template <typename... Args>
class Listeners {
public:
    using Listener = std::function<void(Args...)>;

    [[nodiscard]] Subscription subscribe(Listener listener)
    {
        auto shared = std::make_shared<Listener>(std::move(listener));
        listeners_.push_back(shared);
        return Subscription(std::move(shared));
    }

    void tell(Args... args)
    {
        auto snapshot = listeners_;
        std::erase_if(listeners_, [](const auto& weak) { return weak.expired(); });
        for (auto& weak : snapshot) {
            if (auto listener = weak.lock())
                (*listener)(args...);
        }
    }

private:
    std::vector<std::weak_ptr<Listener>> listeners_;
};

} // namespace tintra
