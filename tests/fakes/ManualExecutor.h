#pragma once

#include "ManualClock.h"
#include "support/MainExecutor.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace tintra {

// The main executor of tests: posted work runs when the test calls
// runPending(); scheduled work runs when advance() moves the clock past its
// due time, each at its own due time and in due order.
class ManualExecutor final : public MainExecutor {
public:
    explicit ManualExecutor(ManualClock& clock) : clock_(clock) {}

    void post(Work work) override;
    ScheduledWork schedule(Duration delay, Work work) override;
    MonotonicTime monotonicNow() const override { return clock_.monotonicNow(); }

    // Runs posted work (including work posted while running) until none is left.
    // Returns how many items ran.
    int runPending();
    // Moves time forward, running posted work and every scheduled item that falls due.
    void advance(Duration by);
    // Blocks the test thread until another thread posts work, or the real-time
    // limit passes; for results handed back by background threads.
    bool waitForPost(std::chrono::milliseconds limit);

    std::size_t scheduledCount() const;
    ManualClock& clock() { return clock_; }

private:
    struct Timer {
        MonotonicTime due;
        std::uint64_t sequence;
        Work work;
        ScheduledWork handle;
    };

    ManualClock& clock_;
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<Work> posts_;
    std::vector<Timer> timers_;
    std::uint64_t nextSequence_ = 0;
};

} // namespace tintra
