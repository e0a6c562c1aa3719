#pragma once

#include "support/MainExecutor.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tintra {

// Runs work off the main thread and hands each result back through the main
// executor. Work runs in the order given on a small pool of worker threads;
// the destructor waits for work already started and drops work not yet begun.
class BackgroundExecutor {
public:
    explicit BackgroundExecutor(MainExecutor& main, unsigned workerCount = 1);
    ~BackgroundExecutor();
    BackgroundExecutor(const BackgroundExecutor&) = delete;
    BackgroundExecutor& operator=(const BackgroundExecutor&) = delete;

    // Runs `work` in the background, then `completion(result)` on the main thread.
    template <typename Work, typename Completion>
    void run(Work work, Completion completion)
    {
        enqueue([this, work = std::move(work), completion = std::move(completion)]() mutable {
            auto result = std::make_shared<decltype(work())>(work());
            main_.post([completion = std::move(completion), result]() mutable { completion(std::move(*result)); });
        });
    }

    // Runs `work` in the background with no result to hand back.
    void enqueue(std::function<void()> work);

private:
    void workerLoop();

    MainExecutor& main_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

} // namespace tintra
