#include "sparks/ClickSparkField.h"

#include "sparks/ReferenceDraws.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tintra {
namespace {

constexpr double pi = 3.14159265358979323846;

// The burst rules written out again, drawing from the reference generator.
std::vector<TintraClickSpark> referenceBurst(std::uint64_t seed, Point at)
{
    reference::Draws draws { seed };
    const int count = 6 + static_cast<int>(draws.below(4));
    const double base = draws.angle();
    const int colors = static_cast<int>(draws.below(8));
    const int strokes = static_cast<int>(draws.below(3));
    const double slice = 2 * pi / count;
    const TintraClickSparkColor palette[] = {
        { 0.91, 0.522, 0.549 }, { 0.918, 0.655, 0.471 }, { 0.906, 0.788, 0.478 }, { 0.663, 0.788, 0.545 },
        { 0.498, 0.78, 0.745 }, { 0.525, 0.714, 0.871 }, { 0.604, 0.627, 0.874 }, { 0.753, 0.576, 0.808 },
    };
    std::vector<TintraClickSpark> sparks;
    for (int i = 0; i < count; ++i) {
        TintraClickSpark spark;
        const double angle = base + slice * i + draws.range(-slice / 3, slice / 3);
        const double speed = draws.range(110, 280);
        spark.edge = draws.range(12, 28);
        const double offset = draws.range(2, 9);
        spark.rotation = draws.angle();
        spark.spin = draws.range(-2.6, 2.6);
        spark.color = palette[(colors + i) % 8];
        spark.lifetime = draws.range(0.55, 0.85);
        spark.position = { at.x + std::cos(angle) * offset, at.y + std::sin(angle) * offset };
        spark.velocity = { speed * std::cos(angle), speed * std::sin(angle) };
        if ((i + strokes) % 3 == 0)
            spark.strokeWidth = spark.edge * 0.1 > 1.5 ? spark.edge * 0.1 : 1.5;
        sparks.push_back(spark);
    }
    return sparks;
}

int paletteIndex(const TintraClickSparkColor& color)
{
    return static_cast<int>(std::find(clickSparkPalette.begin(), clickSparkPalette.end(), color) - clickSparkPalette.begin());
}

// The first state from `from` on whose burst has nine sparks.
TintraSparkRandom stateForNineSparks(std::uint64_t from)
{
    for (std::uint64_t state = from;; ++state) {
        reference::Draws draws { state };
        if (draws.below(4) == 3)
            return { state };
    }
}

double angleOf(const TintraClickSpark& spark)
{
    return std::atan2(spark.velocity.dy, spark.velocity.dx);
}

TEST(ClickSparkField, BurstMatchesTheReferenceToTheLastBit)
{
    for (std::uint64_t seed : { 0ull, 1ull, 0xdeadbeefull, 0x0123456789abcdefull, ~0ull }) {
        TintraClickSparkField field { TintraSparkRandom { seed } };
        field.burst({ 400, 300 });
        EXPECT_EQ(field.sparks, referenceBurst(seed, { 400, 300 })) << "seed " << seed;
    }
}

TEST(ClickSparkField, BurstsSpreadSixToNineSparksOneSliceApart)
{
    TintraClickSparkField field { TintraSparkRandom { 99 } };
    std::vector<int> counts(10);
    for (int burst = 0; burst < 400; ++burst) {
        field.clear();
        field.burst({ 0, 0 });
        const int count = static_cast<int>(field.sparks.size());
        ASSERT_GE(count, 6);
        ASSERT_LE(count, 9);
        ++counts[count];
        const double slice = 2 * pi / count;
        int hollow = 0;
        for (int i = 0; i < count; ++i) {
            const TintraClickSpark& spark = field.sparks[i];
            // Each spark lies within a third of a slice of its own slot.
            double fromSlot = std::remainder(angleOf(spark) - angleOf(field.sparks[0]) - slice * i, 2 * pi);
            ASSERT_LE(std::abs(fromSlot), 2 * slice / 3 + 1e-9);
            const double speed = std::hypot(spark.velocity.dx, spark.velocity.dy);
            ASSERT_GE(speed, 110 - 1e-9);
            ASSERT_LE(speed, 280 + 1e-9);
            const double offset = std::hypot(spark.position.x, spark.position.y);
            ASSERT_GE(offset, 2 - 1e-9);
            ASSERT_LE(offset, 9 + 1e-9);
            if (spark.strokeWidth > 0) {
                ++hollow;
                ASSERT_GE(spark.strokeWidth, 1.5);
                ASSERT_LE(spark.strokeWidth, 2.8);
            }
            ASSERT_EQ(spark.color, clickSparkPalette[(paletteIndex(field.sparks[0].color) + i) % 8]);
        }
        ASSERT_GE(hollow, 2);
        ASSERT_LE(hollow, 3);
    }
    for (int count = 6; count <= 9; ++count)
        EXPECT_GT(counts[count], 50) << count << " sparks";
}

TEST(ClickSparkField, AdvanceDragsAndClampsALongStall)
{
    TintraClickSparkField field { TintraSparkRandom { 7 } };
    field.burst({ 100, 100 });
    const TintraClickSpark before = field.sparks[0];

    field.advance(0.5);
    const TintraClickSpark& after = field.sparks[0];
    const double h = 1.0 / 15;
    EXPECT_DOUBLE_EQ(after.age, h);
    EXPECT_DOUBLE_EQ(after.rotation, before.rotation + before.spin * h);
    EXPECT_DOUBLE_EQ(after.velocity.dx, before.velocity.dx * std::exp(-3.4 * h));
    EXPECT_DOUBLE_EQ(after.position.y, before.position.y + before.velocity.dy * (1 - std::exp(-3.4 * h)) / 3.4);

    const TintraClickSpark held = field.sparks[0];
    field.advance(0);
    field.advance(-1);
    EXPECT_EQ(field.sparks[0], held);
}

TEST(ClickSparkField, ASparkCoastsToRestAtSpeedOverTheDragRate)
{
    TintraClickSparkField field { TintraSparkRandom { 8 } };
    TintraClickSpark spark;
    spark.velocity = { 340, 0 };
    spark.lifetime = 100;
    field.sparks = { spark };
    for (int frame = 0; frame < 60 * 20; ++frame)
        field.advance(1.0 / 60);
    EXPECT_NEAR(field.sparks[0].position.x, 100, 1e-6);
}

TEST(ClickSparkField, SparksLeaveWhenTheirAgeReachesTheirLifetime)
{
    TintraClickSparkField field { TintraSparkRandom { 9 } };
    TintraClickSpark spark;
    spark.lifetime = 0.5;
    spark.age = 0.4375;
    TintraClickSpark younger = spark;
    younger.age = 0;
    TintraClickSpark other = spark;
    other.lifetime = 0.6;
    field.sparks = { spark, younger, other };
    field.advance(0.0625); // exact in binary: the first spark's age becomes exactly 0.5
    ASSERT_EQ(field.sparks.size(), 2u);
    EXPECT_EQ(field.sparks[0].lifetime, 0.5);
    EXPECT_EQ(field.sparks[1].lifetime, 0.6);
}

TEST(ClickSparkField, ElevenBurstsOfNineKeepTheEightyNewest)
{
    TintraClickSparkField field { TintraSparkRandom { 0 } };
    std::vector<TintraClickSpark> thrown;
    for (int burst = 0; burst < 11; ++burst) {
        field.random = stateForNineSparks(1000 * static_cast<std::uint64_t>(burst));
        TintraClickSparkField alone { field.random };
        alone.burst({ static_cast<double>(burst), 0 });
        ASSERT_EQ(alone.sparks.size(), 9u);
        thrown.insert(thrown.end(), alone.sparks.begin(), alone.sparks.end());
        field.burst({ static_cast<double>(burst), 0 });
    }
    ASSERT_EQ(field.sparks.size(), 80u);
    EXPECT_TRUE(std::equal(field.sparks.begin(), field.sparks.end(), thrown.end() - 80));
}

} // namespace
} // namespace tintra
