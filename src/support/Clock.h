#pragma once

#include <chrono>

namespace tintra {

using WallTime = std::chrono::system_clock::time_point;
using MonotonicTime = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

// Seconds as the spec's intervals are written (0.25, 0.5, 2 …), as a Duration.
constexpr Duration seconds(double value)
{
    return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(value));
}

// Wall dates for records the user sees; monotonic time for every interval,
// time-out and freshness check. Injected so that tests control time exactly.
class Clock {
public:
    virtual ~Clock() = default;
    virtual WallTime now() const = 0;
    virtual MonotonicTime monotonicNow() const = 0;
};

class SystemClock final : public Clock {
public:
    WallTime now() const override { return std::chrono::system_clock::now(); }
    MonotonicTime monotonicNow() const override { return std::chrono::steady_clock::now(); }

    static const SystemClock& shared();
};

} // namespace tintra
