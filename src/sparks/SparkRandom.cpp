#include "sparks/SparkRandom.h"

#include <cerrno>
#include <numbers>
#include <random>
#include <sys/random.h>

namespace tintra {

namespace {

__extension__ typedef unsigned __int128 Product;

constexpr std::uint64_t twoTo53 = std::uint64_t { 1 } << 53;
constexpr double twoToMinus53 = 1.0 / static_cast<double>(twoTo53);

std::uint64_t secureSeed()
{
    std::uint64_t seed = 0;
    ssize_t got = 0;
    do
        got = getrandom(&seed, sizeof seed, 0);
    while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof seed))
        return seed;
    // A kernel without getrandom: the standard library reads /dev/urandom.
    std::random_device device;
    return (std::uint64_t { device() } << 32) | device();
}

} // namespace

TintraSparkRandom TintraSparkRandom::seeded()
{
    return { secureSeed() };
}

std::uint64_t TintraSparkRandom::next()
{
    state += 0x9e3779b97f4a7c15;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
    z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
    return z ^ (z >> 31);
}

std::uint64_t TintraSparkRandom::integerBelow(std::uint64_t n)
{
    Product m = static_cast<Product>(next()) * n;
    if (static_cast<std::uint64_t>(m) < n) {
        const std::uint64_t t = (0 - n) % n;
        while (static_cast<std::uint64_t>(m) < t)
            m = static_cast<Product>(next()) * n;
    }
    return static_cast<std::uint64_t>(m >> 64);
}

double TintraSparkRandom::closedRange(double a, double b)
{
    const std::uint64_t r = integerBelow(twoTo53 + 1);
    if (r == twoTo53)
        return b;
    return a + (b - a) * static_cast<double>(r) * twoToMinus53;
}

double TintraSparkRandom::angle()
{
    for (;;) {
        const double u = static_cast<double>(next() & (twoTo53 - 1)) * twoToMinus53;
        const double angle = u * 2 * std::numbers::pi;
        if (angle != 2 * std::numbers::pi)
            return angle;
    }
}

} // namespace tintra
