#pragma once

#include "support/Clock.h"

namespace tintra {

// A clock whose time moves only when the test says so. Wall and monotonic
// time advance together.
class ManualClock final : public Clock {
public:
    WallTime now() const override { return wall_; }
    MonotonicTime monotonicNow() const override { return monotonic_; }

    void advance(Duration by)
    {
        wall_ += std::chrono::duration_cast<WallTime::duration>(by);
        monotonic_ += by;
    }
    void setWall(WallTime wall) { wall_ = wall; }

private:
    // A fixed, recognisable start: 2026-01-01 00:00:00 UTC.
    WallTime wall_ { std::chrono::sys_days { std::chrono::year { 2026 } / 1 / 1 } };
    MonotonicTime monotonic_ { std::chrono::hours(1) };
};

} // namespace tintra
