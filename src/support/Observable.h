#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tintra {

// Keeps a subscription alive; dropping it ends the subscription.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::shared_ptr<void> token) : token_(std::move(token)) {}
    void cancel() { token_.reset(); }
    bool isActive() const { return token_ != nullptr; }

private:
    std::shared_ptr<void> token_;
};

// A value that tells its subscribers after every change. Storing an equal value
// tells nobody. Main thread only.
template <typename T>
class Observable {
public:
    using Observer = std::function<void(const T&)>;

    Observable() = default;
    explicit Observable(T initial) : value_(std::move(initial)) {}
    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;

    const T& get() const { return value_; }
    operator const T&() const { return value_; }

    void set(T newValue)
    {
        if (newValue == value_)
            return;
        value_ = std::move(newValue);
        notify();
    }

    // Subscribing leaves the value alone, so owners can hand out read-only access.
    [[nodiscard]] Subscription subscribe(Observer observer) const
    {
        auto shared = std::make_shared<Observer>(std::move(observer));
        observers_.push_back(shared);
        return Subscription(std::move(shared));
    }

private:
    void notify() const
    {
        // Observers may subscribe, unsubscribe or set again while being told.
        auto snapshot = observers_;
        std::erase_if(observers_, [](const auto& weak) { return weak.expired(); });
        for (auto& weak : snapshot) {
            if (auto observer = weak.lock())
                (*observer)(value_);
        }
    }

    T value_ {};
    mutable std::vector<std::weak_ptr<Observer>> observers_;
};

} // namespace tintra
