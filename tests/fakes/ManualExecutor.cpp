#include "ManualExecutor.h"

#include <algorithm>

namespace tintra {

void ManualExecutor::post(Work work)
{
    {
        std::lock_guard lock(mutex_);
        posts_.push_back(std::move(work));
    }
    posted_.notify_all();
}

ScheduledWork ManualExecutor::schedule(Duration delay, Work work)
{
    ScheduledWork handle(std::make_shared<std::atomic<bool>>(false));
    std::lock_guard lock(mutex_);
    timers_.push_back({ clock_.monotonicNow() + std::max(delay, Duration::zero()), nextSequence_++, std::move(work), handle });
    return handle;
}

int ManualExecutor::runPending()
{
    int ran = 0;
    for (;;) {
        Work work;
        {
            std::lock_guard lock(mutex_);
            if (posts_.empty())
                return ran;
            work = std::move(posts_.front());
            posts_.pop_front();
        }
        work();
        ++ran;
    }
}

void ManualExecutor::advance(Duration by)
{
    const auto end = clock_.monotonicNow() + by;
    for (;;) {
        runPending();
        Timer next;
        {
            std::lock_guard lock(mutex_);
            std::erase_if(timers_, [](const Timer& timer) { return timer.handle.isCancelled(); });
            auto earliest = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
                return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
            });
            if (earliest == timers_.end() || earliest->due > end)
                break;
            next = std::move(*earliest);
            timers_.erase(earliest);
        }
        if (next.due > clock_.monotonicNow())
            clock_.advance(next.due - clock_.monotonicNow());
        next.work();
    }
    if (end > clock_.monotonicNow())
        clock_.advance(end - clock_.monotonicNow());
    runPending();
}

bool ManualExecutor::waitForPost(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, limit, [this] { return !posts_.empty(); });
}

std::size_t ManualExecutor::scheduledCount() const
{
    std::lock_guard lock(mutex_);
    return std::count_if(timers_.begin(), timers_.end(), [](const Timer& timer) { return !timer.handle.isCancelled(); });
}

} // namespace tintra
