#pragma once

#include <cmath>
#include <cstdint>

namespace tintra::reference {

// The draws of the sparks' generator written out a second way (64-bit
// products from 32-bit halves, ranges by division), so that a test compares
// two independent readings of the same rules.
struct Draws {
    std::uint64_t state;
    int count = 0;

    std::uint64_t next()
    {
        ++count;
        state += 0x9e3779b97f4a7c15ull;
        std::uint64_t z = state;
        z ^= z >> 30;
        z *= 0xbf58476d1ce4e5b9ull;
        z ^= z >> 27;
        z *= 0x94d049bb133111ebull;
        z ^= z >> 31;
        return z;
    }

    struct Wide {
        std::uint64_t high;
        std::uint64_t low;
    };

    static Wide multiply(std::uint64_t a, std::uint64_t b)
    {
        const std::uint64_t a0 = a & 0xffffffffu, a1 = a >> 32, b0 = b & 0xffffffffu, b1 = b >> 32;
        const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
        const std::uint64_t middle = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
        return { p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xffffffffu) };
    }

    std::uint64_t below(std::uint64_t n)
    {
        Wide m = multiply(next(), n);
        const std::uint64_t threshold = (~n + 1) % n;
        while (m.low < threshold)
            m = multiply(next(), n);
        return m.high;
    }

    double range(double a, double b)
    {
        const std::uint64_t steps = 9007199254740992ull; // 2^53
        const std::uint64_t r = below(steps + 1);
        return r == steps ? b : a + (b - a) * static_cast<double>(r) / static_cast<double>(steps);
    }

    double angle()
    {
        const double fullTurn = 2 * 3.14159265358979323846;
        for (;;) {
            const double a = static_cast<double>(next() % 9007199254740992ull) / 9007199254740992.0 * fullTurn;
            if (a != fullTurn)
                return a;
        }
    }
};

} // namespace tintra::reference
