#include "engine/DiskDescriptionBuilder.h"

#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

using Key = DADiskDescriptionKey;
using Kind = TintraDiskDescriptionBuilder::Kind;

std::optional<std::string> format(DADiskValue value, Kind kind)
{
    return TintraDiskDescriptionBuilder::format(value, kind);
}

std::vector<std::string> labels(const TintraDiskDescription& description)
{
    std::vector<std::string> labels;
    for (const auto& field : description.fields)
        labels.push_back(field.label);
    return labels;
}

const DAUUID kUUID { { 0x0b, 0xad, 0xf0, 0x0d, 0xde, 0xad, 0x4b, 0xee, 0xa1, 0x2c, 0x00, 0x11, 0x22, 0x33, 0x44, 0xff } };

TEST(DiskValueFormat, TextIsTrimmedAndBlankTextSaysNothing)
{
    EXPECT_EQ(format(std::string(" Untitled\n"), Kind::text), "Untitled");
    EXPECT_EQ(format(std::string("   "), Kind::text), std::nullopt);
    EXPECT_EQ(format(std::int64_t(7), Kind::text), std::nullopt);
}

TEST(DiskValueFormat, FlagsAndIntegers)
{
    const ScopedLocale english("en_US");
    EXPECT_EQ(format(true, Kind::flag), "yes");
    EXPECT_EQ(format(false, Kind::flag), "no");
    EXPECT_EQ(format(std::int64_t(1), Kind::flag), std::nullopt);
    EXPECT_EQ(format(std::int64_t(1234567), Kind::integer), "1234567"); // never grouped
    EXPECT_EQ(format(std::int64_t(-3), Kind::integer), "-3");
    EXPECT_EQ(format(true, Kind::integer), std::nullopt);
    EXPECT_EQ(format(std::string("12"), Kind::integer), std::nullopt);
}

TEST(DiskValueFormat, ByteCountsAddTheExactCountInTheUserLocale)
{
    {
        const ScopedLocale english("en_US");
        EXPECT_EQ(format(std::int64_t(500'107'862'016), Kind::byteCount), "500.11 GB (500,107,862,016 bytes)");
        EXPECT_EQ(format(std::int64_t(0), Kind::byteCount), "Zero KB (0 bytes)");
        EXPECT_EQ(format(std::string("500 GB"), Kind::byteCount), std::nullopt);
    }
    const ScopedLocale german("de_DE");
    EXPECT_EQ(format(std::int64_t(4'096'000), Kind::byteCount), "4,1 MB (4.096.000 bytes)");
}

TEST(DiskValueFormat, UUIDsPathsAndData)
{
    EXPECT_EQ(format(kUUID, Kind::uuid), "0BADF00D-DEAD-4BEE-A12C-0011223344FF");
    EXPECT_EQ(format(std::string(" 8c1f-text "), Kind::uuid), "8c1f-text"); // not a UUID: written as text
    EXPECT_EQ(format(true, Kind::uuid), std::nullopt);

    EXPECT_EQ(format(std::filesystem::path("/Volumes/Data/"), Kind::path), "/Volumes/Data");
    EXPECT_EQ(format(std::filesystem::path("/"), Kind::path), "/");
    EXPECT_EQ(format(std::string("/Volumes/Data"), Kind::path), std::nullopt);

    EXPECT_EQ(format(Bytes { 0x01, 0xAB }, Kind::data), "01AB");
    EXPECT_EQ(format(Bytes {}, Kind::data), std::nullopt);
    EXPECT_EQ(format(std::string("01AB"), Kind::data), std::nullopt);
}

TEST(DiskDescriptionBuilder, ListsUsableEntriesInTableOrder)
{
    const ScopedLocale english("en_US");
    const DADiskDescription facts {
        { Key::busName, std::string("XHC0") },
        { Key::volumeName, std::string("  Backup ") },
        { Key::mediaSize, std::int64_t(2'000'398'934'016) },
        { Key::mediaWritable, false },
        { Key::deviceVendor, std::string(" \n ") },
        { Key::mediaEjectable, std::int64_t(1) }, // the wrong type: left out
        { Key::volumePath, std::filesystem::path("/Volumes/Backup/") },
        { Key::deviceGUID, Bytes { 0x01, 0xAB } },
        { Key::volumeUUID, kUUID },
    };
    const auto description = TintraDiskDescriptionBuilder::build(facts);

    EXPECT_EQ(description.volumeName, "Backup");
    EXPECT_EQ(labels(description),
        (std::vector<std::string> { "Volume name", "Mounted at", "Volume UUID", "Media size", "Writable", "Device GUID", "Bus name" }));
    EXPECT_EQ(description.fields[1].value, "/Volumes/Backup");
    EXPECT_EQ(description.fields[3].value, "2 TB (2,000,398,934,016 bytes)");
    EXPECT_EQ(description.fields[4].value, "no");
    EXPECT_EQ(description.fields[5].value, "01AB");
}

TEST(DiskDescriptionBuilder, EveryKeyHasOneRowInKeyOrder)
{
    const auto table = TintraDiskDescriptionBuilder::fieldTable();
    ASSERT_EQ(table.size(), 38u);
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(table[i].key, Key(i)) << table[i].label;
}

TEST(DiskSummary, NamesDeviceTypeSizeAndTraits)
{
    const ScopedLocale english("en_US");
    DADiskDescription facts {
        { Key::mediaBSDName, std::string("sdb1") },
        { Key::volumeType, std::string("ext4") },
        { Key::volumeKind, std::string("linux") },
        { Key::mediaSize, std::int64_t(500'107'862'016) },
        { Key::deviceProtocol, std::string("USB") },
        { Key::deviceInternal, false },
        { Key::mediaEjectable, true },
        { Key::mediaRemovable, false },
    };
    EXPECT_EQ(TintraDiskDescriptionBuilder::summary(facts), "sdb1 · ext4 · 500.11 GB · USB · external · ejectable");

    facts.erase(Key::volumeType);
    facts[Key::mediaSize] = std::int64_t(0);
    facts[Key::deviceInternal] = true;
    facts[Key::mediaEjectable] = false;
    facts[Key::mediaRemovable] = true;
    EXPECT_EQ(TintraDiskDescriptionBuilder::summary(facts), "sdb1 · linux · USB · internal · removable");

    EXPECT_EQ(TintraDiskDescriptionBuilder::summary({}), "");
}

TEST(DiskSummary, ANetworkVolumeIsOnlyThat)
{
    const DADiskDescription facts {
        { Key::volumeKind, std::string("nfs") },
        { Key::volumeNetwork, true },
        { Key::deviceProtocol, std::string("TCP") },
        { Key::deviceInternal, false },
        { Key::mediaEjectable, true },
    };
    EXPECT_EQ(TintraDiskDescriptionBuilder::summary(facts), "nfs · network volume");
}

} // namespace
} // namespace tintra
