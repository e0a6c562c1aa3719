#include "support/BackgroundExecutor.h"

namespace tintra {

BackgroundExecutor::BackgroundExecutor(MainExecutor& main, unsigned workerCount)
    : main_(main)
{
    for (unsigned i = 0; i < std::max(1u, workerCount); ++i)
        workers_.emplace_back([this] { workerLoop(); });
}

BackgroundExecutor::~BackgroundExecutor()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (auto& worker : workers_)
        worker.join();
}

void BackgroundExecutor::enqueue(std::function<void()> work)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void BackgroundExecutor::workerLoop()
{
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

} // namespace tintra
