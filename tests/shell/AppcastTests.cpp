#include "shell/Appcast.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

TEST(Appcast, VersionsOrderAsReleasesDo)
{
    const std::vector<std::pair<const char*, const char*>> olderThenNewer {
        { "1.0", "1.0.1" }, { "1.9", "1.10" }, { "1.0b1", "1.0" }, { "1.0a2", "1.0b1" }, { "1.0b1", "1.0.1" },
        { "1.0b2", "1.0b10" }, { "0.9", "1.0rc1" }, { "1.0rc1", "1.0" },
        // Longer than any integer.
        { "1.99999999999999999999", "1.100000000000000000000" },
    };
    for (const auto& [older, newer] : olderThenNewer) {
        EXPECT_LT(compareVersions(older, newer), 0) << older << " < " << newer;
        EXPECT_GT(compareVersions(newer, older), 0) << newer << " > " << older;
    }
    EXPECT_EQ(compareVersions("1.0", "1.0"), 0);
    EXPECT_EQ(compareVersions("1.01", "1.1"), 0);
}

TEST(Appcast, TheNewestItemOfAnAllowedChannelIsOfferedOnlyWhenNewer)
{
    const std::vector<TintraAppcastItem> items {
        { .version = "0.2.0", .fileURL = "https://example/0.2.0" },
        { .version = "0.4.0b1", .channel = "beta", .fileURL = "https://example/0.4.0b1" },
        { .version = "0.3.0", .fileURL = "https://example/0.3.0" },
        // Nothing to download.
        { .version = "0.5.0" },
        { .version = "0.6.0", .channel = "nightly", .fileURL = "https://example/0.6.0" },
    };
    EXPECT_EQ(newestUpdate(items, "0.1.0", {}).value().version, "0.3.0");
    EXPECT_EQ(newestUpdate(items, "0.1.0", { "beta" }).value().version, "0.4.0b1");
    EXPECT_FALSE(newestUpdate(items, "0.3.0", {}));
    EXPECT_FALSE(newestUpdate(items, "1.0", { "beta" }));
}

} // namespace
} // namespace tintra
