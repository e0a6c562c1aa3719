#pragma once

#include <cstdint>

namespace tintra {

// SplitMix64: small, fast and fully determined by its state, so that a burst
// can be replayed from a seed.
struct TintraSparkRandom {
    std::uint64_t state = 0;

    // A state from the system's secure random source, different on every call.
    static TintraSparkRandom seeded();

    std::uint64_t next();
    // Uniform in [0, n) without modulo bias; n must be at least 1.
    std::uint64_t integerBelow(std::uint64_t n);
    // Uniform in [a, b], both ends reachable.
    double closedRange(double a, double b);
    // Uniform in [0, 2π).
    double angle();
};

} // namespace tintra
