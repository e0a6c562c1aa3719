#include "soundlog/SilencePeriod.h"

#include <fmt/format.h>

#include <cstdint>
#include <random>

namespace tintra {
namespace {

// A version 4 UUID in its usual text form.
std::string randomUUID()
{
    thread_local std::mt19937_64 generator { std::random_device {}() };
    const std::uint64_t high = (generator() & 0xFFFFFFFFFFFF0FFFull) | 0x0000000000004000ull;
    const std::uint64_t low = (generator() & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;
    return fmt::format("{:08X}-{:04X}-{:04X}-{:04X}-{:012X}", high >> 32, (high >> 16) & 0xFFFF, high & 0xFFFF,
        low >> 48, low & 0xFFFFFFFFFFFFull);
}

} // namespace

TintraSilencePeriod TintraSilencePeriod::started(TintraSilenceReason reason, WallTime date)
{
    return { randomUUID(), reason, date, std::nullopt };
}

} // namespace tintra
