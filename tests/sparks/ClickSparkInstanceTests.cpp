#include "sparks/ClickSparkInstance.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tintra {
namespace {

TintraClickSpark sparkAt(double p)
{
    TintraClickSpark spark;
    spark.position = { 12.5, 40.25 };
    spark.edge = 20;
    spark.rotation = 0.75;
    spark.color = clickSparkPalette[5];
    spark.strokeWidth = 2;
    spark.lifetime = 0.8;
    spark.age = p * spark.lifetime;
    return spark;
}

TEST(ClickSparkInstance, FadesInOverTheFirstNinePercentAndOutToNothing)
{
    const auto fadedIn = instance(sparkAt(0.09));
    ASSERT_TRUE(fadedIn);
    const double alpha = 0.85 * std::pow(0.91, 1.7);
    EXPECT_FLOAT_EQ(fadedIn->color[3], static_cast<float>(alpha));
    EXPECT_FLOAT_EQ(fadedIn->color[2], static_cast<float>(0.871 * alpha));

    const auto halfIn = instance(sparkAt(0.045));
    ASSERT_TRUE(halfIn);
    EXPECT_NEAR(halfIn->color[3], 0.5 * 0.85 * std::pow(1 - 0.045, 1.7), 1e-6);

    EXPECT_FALSE(instance(sparkAt(1)));
    EXPECT_FALSE(isVisible(sparkAt(1)));
    EXPECT_FALSE(isVisible(sparkAt(0))) << "a spark is first drawn after its first step";
    EXPECT_FALSE(isVisible(sparkAt(1.5)));
    TintraClickSpark stillborn = sparkAt(0.5);
    stillborn.lifetime = 0;
    EXPECT_FALSE(isVisible(stillborn));
    EXPECT_TRUE(isVisible(sparkAt(0.5)));
}

TEST(ClickSparkInstance, ShrinksAndRoundsWithAge)
{
    const TintraClickSpark spark = sparkAt(0.5);
    const auto record = instance(spark);
    ASSERT_TRUE(record);
    const double size = 20 * (1 - 0.32 * 0.5);
    EXPECT_EQ(record->position, (std::array { 12.5f, 40.25f }));
    EXPECT_EQ(record->halfSize, (std::array { static_cast<float>(size / 2), static_cast<float>(size / 2) }));
    EXPECT_FLOAT_EQ(record->rotation, 0.75f);
    EXPECT_FLOAT_EQ(record->cornerRadius, static_cast<float>(size * 0.22));
    EXPECT_FLOAT_EQ(record->edgeSoftness, 0.75f) << "never softer than three quarters of a point";
    EXPECT_FLOAT_EQ(record->strokeWidth, 2);

    TintraClickSpark thick = spark;
    thick.strokeWidth = 30;
    thick.edge = 40;
    EXPECT_FLOAT_EQ(instance(thick)->strokeWidth, static_cast<float>(40 * 0.84 * 0.5)) << "a ring no wider than half the square";
    EXPECT_FLOAT_EQ(instance(thick)->edgeSoftness, static_cast<float>(40 * 0.84 * 0.03));
}

} // namespace
} // namespace tintra
