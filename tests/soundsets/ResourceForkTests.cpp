#include "soundsets/ClassicFileWriter.h"
#include "fakes/TemporaryFolder.h"
#include "soundsets/ResourceFork.h"

#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <fstream>

namespace tintra {
namespace {

using namespace testing;
namespace fs = std::filesystem;
using Case = TintraResourceForkError::Case;

Bytes sampleFork()
{
    return resourceFork({
        { "snd ", 128, "mnuo", { 1, 2, 3 } },
        { "vers", 1, std::nullopt, { 9 } },
        { "snd ", -4000, "", { 4 } },
        { "snd ", 130, std::nullopt, {} },
    });
}

TEST(ResourceForkMap, ReadsTypesAndResourcesInMapOrder)
{
    const auto fork = TintraResourceFork::parse(sampleFork());
    ASSERT_TRUE(fork) << fork.error().description();
    EXPECT_EQ(fork->resourceTypes(), (std::vector<std::string> { "snd ", "vers" }));
    const auto sounds = fork->resourcesOfType("snd ");
    ASSERT_EQ(sounds.size(), 3u);
    EXPECT_EQ(sounds[0], (TintraResource { 128, "mnuo", { 1, 2, 3 } }));
    EXPECT_EQ(sounds[1].identifier, -4000);
    EXPECT_EQ(sounds[1].name, std::nullopt);  // an empty name is no name
    EXPECT_EQ(sounds[1].description(), "<TintraResource id=-4000 name=(none) bytes=1>");
    EXPECT_TRUE(sounds[2].data.empty());
    EXPECT_EQ(sounds[0].description(), "<TintraResource id=128 name=mnuo bytes=3>");
}

TEST(ResourceForkMap, TypeLookupPadsWithSpacesAndNeedsOneToFourCharacters)
{
    const auto fork = TintraResourceFork::parse(sampleFork());
    ASSERT_TRUE(fork);
    EXPECT_EQ(fork->resourcesOfType("snd").size(), 3u);
    EXPECT_EQ(fork->resourcesOfType("snd ").size(), 3u);
    EXPECT_TRUE(fork->containsResourceType("vers"));
    for (const auto* type : { "SND", "", "sound", "sn\xE2\x82\xAC\xE2\x82\xAC", "\xF0\x9F\x8E\xB5" })
        EXPECT_TRUE(fork->resourcesOfType(type).empty()) << type;
    EXPECT_FALSE(fork->containsResourceType("sdid"));
}

TEST(ResourceForkMap, NamesAndTypesDecodeFromMacRoman)
{
    auto fork = resourceFork({ { "snd\xC3\xA9", 1, "Caf\xC3\xA9 \xE2\x84\xA2", { 1 } }, { "ab  ", 2, std::nullopt, { 1 } } });
    // A type code of control bytes is not text.
    put32(fork, layoutOf(fork).typeList + 2 + 8, 0x01020304);
    const auto parsed = TintraResourceFork::parse(fork);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->resourceTypes(), (std::vector<std::string> { "snd\xC3\xA9", "????" }));
    EXPECT_EQ(parsed->resourcesOfType("snd\xC3\xA9")[0].name, "Caf\xC3\xA9 \xE2\x84\xA2");
}

TEST(ResourceForkMap, EmptyMapIsTheEmptyForkError)
{
    const auto fork = TintraResourceFork::parse(resourceFork({}));
    ASSERT_FALSE(fork);
    EXPECT_EQ(fork.error(), (TintraResourceForkError { Case::emptyFork, -39 }));
    EXPECT_EQ(fork.error().description(), "The resource fork is empty");
}

TEST(ResourceForkMap, DamagedHeadersAndMapsFailWithoutReadingOutside)
{
    const auto good = sampleFork();
    const auto layout = layoutOf(good);
    std::vector<Bytes> damaged;
    damaged.push_back(Bytes(good.begin(), good.begin() + 15));       // shorter than a header
    damaged.push_back(Bytes(good.begin(), good.end() - 1));          // map runs past the end
    auto pastEnd = good;
    put32(pastEnd, 4, 0xFFFFFFF0);                                   // map offset wraps in 32 bits
    damaged.push_back(pastEnd);
    auto hugeData = good;
    put32(hugeData, 8, 0xFFFFFFFF);
    damaged.push_back(hugeData);
    auto overlapping = good;
    put32(overlapping, 8, layout.mapOffset - layout.dataOffset + 1);  // data runs into the map
    damaged.push_back(overlapping);
    auto typeListOutside = good;
    put16(typeListOutside, layout.mapOffset + 24, 0xFFF0);
    damaged.push_back(typeListOutside);
    auto tooManyTypes = good;
    put16(tooManyTypes, layout.typeList, 400);
    damaged.push_back(tooManyTypes);
    auto tooManyReferences = good;
    put16(tooManyReferences, layout.typeList + 2 + 4, 0xFFFE);      // 65535 resources in a tiny map
    damaged.push_back(tooManyReferences);
    for (const auto& bytes : damaged) {
        const auto fork = TintraResourceFork::parse(bytes);
        ASSERT_FALSE(fork);
        EXPECT_EQ(fork.error().kind, Case::noReadableFork);
        EXPECT_EQ(fork.error().description(), "The file has no readable resource fork");
    }
}

TEST(ResourceForkMap, DamagedResourcesAreLeftOutAndTheRestKept)
{
    auto fork = resourceFork({
        { "snd ", 1, "one", { 1, 1 } },
        { "snd ", 2, "two", { 2, 2 } },
        { "snd ", 3, "three", { 3, 3 } },
        { "snd ", 4, std::nullopt, { 4 } },
    });
    const auto layout = layoutOf(fork);
    const std::uint32_t references = layout.typeList + 2 + 8;
    put32(fork, layout.dataOffset + 6, 0x7FFFFFFF);           // resource 2's length runs past the data
    put16(fork, references + 24 + 2, 0x7FFF);                 // resource 3's name lies outside the map
    fork[references + 36 + 5] = 0xFF;                         // resource 4's 24-bit data offset is outside
    const auto parsed = TintraResourceFork::parse(fork);
    ASSERT_TRUE(parsed) << parsed.error().description();
    ASSERT_EQ(parsed->resourcesOfType("snd ").size(), 1u);
    EXPECT_EQ(parsed->resourcesOfType("snd ")[0].identifier, 1);
}

TEST(ResourceForkMap, ReservedFieldsMayHoldAnythingAndCompressionIsKept)
{
    auto fork = resourceFork({ { "snd ", 5, std::nullopt, { 7 }, 0x21 } });
    const auto layout = layoutOf(fork);
    std::fill(fork.begin() + layout.mapOffset, fork.begin() + layout.mapOffset + 24, 0xEE);  // header copy, handle, ref
    put32(fork, layout.typeList + 2 + 8 + 8, 0xDEADBEEF);                                  // reference handle
    const auto parsed = TintraResourceFork::parse(fork);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->resourcesOfType("snd ")[0].isCompressed);
}

TEST(ResourceForkMap, SharedDataCannotMultiplyMemory)
{
    // Two reference lists pointing at the same 100 000-byte resource: only one copy is made.
    auto fork = resourceFork({ { "snd ", 1, std::nullopt, Bytes(100000, 1) }, { "snd#", 2, std::nullopt, { 0 } } });
    const auto layout = layoutOf(fork);
    put16(fork, layout.typeList + 2 + 8 + 6, 2 + 16);  // the second type reuses the first one's list
    const auto parsed = TintraResourceFork::parse(fork);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->resourcesOfType("snd ").size(), 1u);
    EXPECT_TRUE(parsed->resourcesOfType("snd#").empty());
}

TEST(ResourceForkContainers, FindsTheForkInEachContainer)
{
    const auto fork = sampleFork();
    const Bytes dataFork(300, 0x41);
    struct Sample {
        Bytes content;
        TintraForkContainer container;
    };
    const std::vector<Sample> samples {
        { fork, TintraForkContainer::rawFork },
        { appleDouble(fork, 32), TintraForkContainer::appleDouble },
        { appleDouble(fork, 70, 0x00010000), TintraForkContainer::appleDouble },
        { appleSingle(dataFork, fork), TintraForkContainer::appleSingle },
        { macBinary("Platinum", dataFork, fork, MacBinaryVersion::one), TintraForkContainer::macBinaryI },
        { macBinary("Platinum", dataFork, fork, MacBinaryVersion::two), TintraForkContainer::macBinaryII },
        { macBinary("Platinum", {}, fork, MacBinaryVersion::three), TintraForkContainer::macBinaryIII },
    };
    for (const auto& sample : samples) {
        const auto found = findResourceForkInContent(sample.content);
        ASSERT_TRUE(found) << containerName(sample.container);
        EXPECT_EQ(found->container, sample.container);
        EXPECT_TRUE(std::equal(found->fork.begin(), found->fork.end(), fork.begin(), fork.end()))
            << containerName(sample.container);
    }
}

TEST(ResourceForkContainers, DamagedContainersFailAndNoneReadOutside)
{
    const auto fork = sampleFork();
    auto entryPastEnd = appleDouble(fork);
    put32(entryPastEnd, 26 + 12 + 8, std::uint32_t(fork.size() + 1));
    EXPECT_EQ(findResourceForkInContent(entryPastEnd).error(), -199);
    auto entryTableCut = appleDouble(fork);
    entryTableCut.resize(40);
    EXPECT_FALSE(findResourceForkInContent(entryTableCut));
    auto finderInfoOnly = appleDouble(fork);
    put32(finderInfoOnly, 26 + 12, 9);
    EXPECT_EQ(findResourceForkInContent(finderInfoOnly).error(), -39);
    auto unknownVersion = appleDouble(fork, 32, 0x00030000);
    EXPECT_FALSE(findResourceForkInContent(unknownVersion));

    auto truncatedMacBinary = macBinary("Set", {}, fork, MacBinaryVersion::two);
    truncatedMacBinary.resize(128 + fork.size() - 1);
    EXPECT_EQ(findResourceForkInContent(truncatedMacBinary).error(), -199);
    auto badCrc = macBinary("Set", Bytes(10, 0), fork, MacBinaryVersion::two);
    badCrc[125] ^= 1;
    // With its CRC broken and its version bytes set, the header is no MacBinary at all.
    const auto fallback = findResourceForkInContent(badCrc);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->container, TintraForkContainer::rawFork);
    EXPECT_FALSE(TintraResourceFork::parse(fallback->fork));
}

class FileFolderTest : public ::testing::Test {
protected:
    fs::path write(const std::string& name, const Bytes& bytes)
    {
        const auto path = folder.path() / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    TemporaryFolder folder;
};

using ResourceForkFiles = FileFolderTest;

TEST_F(ResourceForkFiles, ReadsBareForksContainersAndCompanions)
{
    const auto fork = sampleFork();
    const auto bare = TintraResourceFork::open(write("Sounds.rsrc", fork));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->container(), TintraForkContainer::rawFork);

    const auto binary = TintraResourceFork::open(write("Sounds.bin", macBinary("Sounds", {}, fork, MacBinaryVersion::three)));
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->container(), TintraForkContainer::macBinaryIII);

    const auto data = write("Platinum", {});
    write("._Platinum", appleDouble(fork, 32));
    const auto companion = TintraResourceFork::open(data);
    ASSERT_TRUE(companion) << companion.error().description();
    EXPECT_EQ(companion->container(), TintraForkContainer::appleDoubleCompanion);
    EXPECT_EQ(companion->resourcesOfType("snd").size(), 3u);
}

TEST_F(ResourceForkFiles, CompanionWithoutForkLeavesTheFileItself)
{
    auto finderInfoOnly = appleDouble({}, 32);
    const auto file = write("Mac OS Sounds", macBinary("Mac OS Sounds", {}, sampleFork(), MacBinaryVersion::two));
    write("._Mac OS Sounds", finderInfoOnly);
    const auto fork = TintraResourceFork::open(file);
    ASSERT_TRUE(fork);
    EXPECT_EQ(fork->container(), TintraForkContainer::macBinaryII);
}

TEST_F(ResourceForkFiles, ReadsTheForkFromAnExtendedAttribute)
{
    const auto file = write("Tagged", Bytes(64, 0x20));
    const auto fork = sampleFork();
    if (::setxattr(file.c_str(), "user.com.apple.ResourceFork", fork.data(), fork.size(), 0) != 0)
        GTEST_SKIP() << "the temporary folder's file system keeps no user attributes";
    const auto read = TintraResourceFork::open(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->container(), TintraForkContainer::extendedAttribute);
    EXPECT_EQ(read->resourceTypes().size(), 2u);
}

TEST_F(ResourceForkFiles, FailuresCarryTheTableCodes)
{
    const auto plain = TintraResourceFork::open(write("notes.txt", Bytes { 'h', 'e', 'l', 'l', 'o', '\n' }));
    ASSERT_FALSE(plain);
    EXPECT_EQ(plain.error().description(), "The file has no readable resource fork");

    const auto empty = TintraResourceFork::open(write("empty", {}));
    EXPECT_EQ(empty.error(), (TintraResourceForkError { Case::noReadableFork, -39 }));

    const auto folderError = TintraResourceFork::open(folder.path());
    EXPECT_EQ(folderError.error(), (TintraResourceForkError { Case::couldNotLocate, -50 }));
    EXPECT_EQ(folderError.error().description(), "Could not locate the file");

    EXPECT_EQ(TintraResourceFork::open(folder.path() / "missing").error(), (TintraResourceForkError { Case::couldNotLocate, -43 }));
    EXPECT_EQ(TintraResourceFork::open({}).error().description(), "Not a file URL");
}

} // namespace
} // namespace tintra
