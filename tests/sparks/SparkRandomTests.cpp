#include "sparks/SparkRandom.h"

#include "sparks/ReferenceDraws.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace tintra {
namespace {

TEST(SparkRandom, GivesTheKnownSplitMix64Sequence)
{
    TintraSparkRandom random { 0 };
    EXPECT_EQ(random.next(), 0xe220a8397b1dcdafull);
    EXPECT_EQ(random.next(), 0x6e789e6aa1b965f4ull);
    EXPECT_EQ(random.next(), 0x06c45d188009454full);
    EXPECT_EQ(random.state, 3 * 0x9e3779b97f4a7c15ull);
}

TEST(SparkRandom, HelpersDrawAsTheReferenceDoesIncludingRejections)
{
    // Just above 2^63 about half of all draws are rejected, so the retry path runs often.
    const std::uint64_t wide = (std::uint64_t { 1 } << 63) + 1;
    TintraSparkRandom random { 0x1234'5678'9abc'def0 };
    reference::Draws draws { random.state };
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(random.integerBelow(wide), draws.below(wide));
        ASSERT_EQ(random.integerBelow(7), draws.below(7));
        ASSERT_EQ(random.closedRange(-2.6, 2.6), draws.range(-2.6, 2.6));
        ASSERT_EQ(random.angle(), draws.angle());
        ASSERT_EQ(random.state, draws.state);
    }
    EXPECT_GT(draws.count, 800) << "the wide draws were never rejected";
}

TEST(SparkRandom, RangesStayInsideTheirBounds)
{
    TintraSparkRandom random { 42 };
    std::set<std::uint64_t> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::uint64_t below = random.integerBelow(4);
        ASSERT_LT(below, 4u);
        seen.insert(below);
        const double value = random.closedRange(0.55, 0.85);
        ASSERT_GE(value, 0.55);
        ASSERT_LE(value, 0.85);
        const double angle = random.angle();
        ASSERT_GE(angle, 0);
        ASSERT_LT(angle, 2 * 3.14159265358979323846);
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(TintraSparkRandom { 5 }.integerBelow(1), 0u);
}

TEST(SparkRandom, EveryFieldGetsItsOwnSeed)
{
    EXPECT_NE(TintraSparkRandom::seeded().state, TintraSparkRandom::seeded().state);
}

} // namespace
} // namespace tintra
