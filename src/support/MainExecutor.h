#pragma once

#include "support/Clock.h"

#include <atomic>
#include <functional>
#include <memory>

namespace tintra {

// A handle to work scheduled for later. Cancelling is safe from the main thread
// at any time, also after the work has run; dropping the handle does not cancel.
class ScheduledWork {
public:
    ScheduledWork() = default;
    explicit ScheduledWork(std::shared_ptr<std::atomic<bool>> cancelled) : cancelled_(std::move(cancelled)) {}

    void cancel()
    {
        if (cancelled_)
            cancelled_->store(true);
    }
    bool isCancelled() const { return cancelled_ && cancelled_->load(); }

private:
    std::shared_ptr<std::atomic<bool>> cancelled_;
};

// The main thread's run loop. Everything that the components do runs here.
// `post` may be called from any thread; the work runs on the main thread in the
// order posted. `schedule` runs work after a delay measured on the monotonic clock.
class MainExecutor {
public:
    using Work = std::function<void()>;

    virtual ~MainExecutor() = default;
    virtual void post(Work work) = 0;
    virtual ScheduledWork schedule(Duration delay, Work work) = 0;
    virtual MonotonicTime monotonicNow() const = 0;
};

} // namespace tintra
