#include "support/NumberFormat.h"

#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tintra {
namespace {

TEST(ByteCount, ChoosesTheUnitAndItsFractionDigits)
{
    const ScopedLocale english("en_US");
    EXPECT_EQ(formattedByteCount(0), "Zero KB");
    EXPECT_EQ(formattedByteCount(1), "1 byte");
    EXPECT_EQ(formattedByteCount(999), "999 bytes");
    EXPECT_EQ(formattedByteCount(1000), "1 KB");
    EXPECT_EQ(formattedByteCount(1499), "1 KB");
    EXPECT_EQ(formattedByteCount(1500), "2 KB");
    EXPECT_EQ(formattedByteCount(1'234'567), "1.2 MB");
    EXPECT_EQ(formattedByteCount(2'000'000), "2 MB"); // no padded zero
    EXPECT_EQ(formattedByteCount(500'107'862'016), "500.11 GB");
    EXPECT_EQ(formattedByteCount(3'000'000'000'000), "3 TB");
    EXPECT_EQ(formattedByteCount(std::numeric_limits<std::int64_t>::max()), "9.22 EB");
}

TEST(ByteCount, RoundingUpToAThousandMovesToTheNextUnit)
{
    const ScopedLocale english("en_US");
    EXPECT_EQ(formattedByteCount(999'499), "999 KB");
    EXPECT_EQ(formattedByteCount(999'999), "1 MB");
    EXPECT_EQ(formattedByteCount(999'960'000), "1 GB");
}

TEST(ByteCount, NumbersFollowTheUserLocale)
{
    {
        const ScopedLocale german("de_DE");
        EXPECT_EQ(formattedByteCount(500'107'862'016), "500,11 GB");
        EXPECT_EQ(formattedInteger(500'107'862'016), "500.107.862.016");
        EXPECT_EQ(formattedByteCount(1'200'000), "1,2 MB");
    }
    {
        const ScopedLocale english("en_US");
        EXPECT_EQ(formattedInteger(500'107'862'016), "500,107,862,016");
        EXPECT_EQ(formattedInteger(-1234), "-1,234");
    }
    // The C locale chooses nothing; numbers are still grouped.
    const ScopedLocale posix("en_US_POSIX");
    EXPECT_EQ(formattedInteger(500'107'862'016), "500,107,862,016");
}

} // namespace
} // namespace tintra
