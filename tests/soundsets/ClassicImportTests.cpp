#include "soundsets/ClassicFileWriter.h"
#include "fakes/SoundTypeRegistryFake.h"
#include "fakes/TemporaryFolder.h"
#include "soundsets/Bundle.h"
#include "soundsets/ClassicImport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <bit>
#include <fstream>
#include <iterator>
#include <regex>

namespace tintra {
namespace {

using namespace testing;
namespace fs = std::filesystem;
using Case = TintraClassicImportError::Case;

constexpr std::uint32_t rate22k = 0x56EE8BA3;

Bytes contentsOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint64_t bigEndianAt(const Bytes& bytes, std::size_t offset, int width)
{
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | bytes.at(offset + std::size_t(i));
    return value;
}

struct ReadBack {
    SF_INFO info {};
    std::vector<std::int16_t> samples;
};

ReadBack readWithSndfile(const fs::path& file)
{
    ReadBack result;
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &result.info);
    if (!sound)
        return result;
    result.samples.resize(std::size_t(result.info.frames * result.info.channels));
    sf_read_short(sound, result.samples.data(), sf_count_t(result.samples.size()));
    sf_close(sound);
    return result;
}

class ClassicImportFiles : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(resources()); }
    fs::path bundle() const { return folder.path() / "Set.tintraset"; }
    fs::path resources() const { return bundle() / "Contents" / "Resources"; }
    std::vector<std::string> resourceNames() const
    {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(resources()))
            names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TemporaryFolder folder;
};

TEST_F(ClassicImportFiles, FractionalRateSurvivesTheRoundTrip)
{
    Bytes bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.push_back(std::uint8_t(i * 7));
    const auto sound = decodeSoundResource(soundFormat2(standardHeader(bytes, rate22k)));
    ASSERT_TRUE(sound);
    const auto file = resources() / "MenuOpen.caf";
    ASSERT_TRUE(writeSoundFile(*sound, file, "MenuOpen"));

    const auto caf = contentsOf(file);
    ASSERT_EQ(caf.size(), 68u + 2000u);
    EXPECT_EQ(std::string(caf.begin(), caf.begin() + 4), "caff");
    EXPECT_EQ(std::string(caf.begin() + 8, caf.begin() + 12), "desc");
    EXPECT_EQ(std::bit_cast<double>(bigEndianAt(caf, 20, 8)), rate22k / 65536.0);
    EXPECT_EQ(std::string(caf.begin() + 28, caf.begin() + 32), "lpcm");
    EXPECT_EQ(bigEndianAt(caf, 32, 4), 2u);  // little-endian integer

    const auto read = readWithSndfile(file);
    EXPECT_EQ(read.info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_CAF);
    EXPECT_EQ(read.info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    EXPECT_EQ(read.info.channels, 1);
    EXPECT_EQ(read.info.frames, 1000);
    EXPECT_EQ(read.info.samplerate, 22255);  // libsndfile rounds to whole hertz; the file itself keeps the fraction
    EXPECT_EQ(read.samples, sound->samples);
}

TEST_F(ClassicImportFiles, OddStereoSampleCountDropsTheUnfinishedFrame)
{
    const TintraDecodedSound stereo { { 1, -1, 2, -2, 3 }, 2, 44100 };
    const auto file = resources() / "ButtonPress.caf";
    ASSERT_TRUE(writeSoundFile(stereo, file, "ButtonPress"));
    const auto read = readWithSndfile(file);
    EXPECT_EQ(read.info.channels, 2);
    EXPECT_EQ(read.info.frames, 2);
    EXPECT_EQ(read.samples, (std::vector<std::int16_t> { 1, -1, 2, -2 }));
}

TEST_F(ClassicImportFiles, UnwritableSoundsAndPlacesFail)
{
    const auto file = resources() / "X.caf";
    for (const auto& sound : { TintraDecodedSound { { 1 }, 1, 0 }, TintraDecodedSound { { 1 }, 2, 8000 },
                               TintraDecodedSound { {}, 1, 8000 } }) {
        const auto result = writeSoundFile(sound, file, "X");
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().description(), "Could not allocate an audio buffer for X");
        EXPECT_FALSE(fs::exists(file));
    }
    const auto missingFolder = writeSoundFile({ { 1 }, 1, 8000 }, folder.path() / "nowhere" / "X.caf", "MenuOpen");
    ASSERT_FALSE(missingFolder);
    EXPECT_EQ(missingFolder.error().description(), "Could not write MenuOpen: No such file or directory");
}

TEST_F(ClassicImportFiles, SharedResourceIsDecodedOnceAndCopied)
{
    TintraClassicSoundSet set;
    set.soundBodies = { { 1, soundFormat2(standardHeader({ 1, 2, 3 }, rate22k)) } };
    set.resourceIDsBySoundID = { { TintraSoundID("mnuo"), 1 }, { TintraSoundID("mnuc"), 1 } };
    const auto counts = writeClassicSounds(set, bundle());
    ASSERT_TRUE(counts);
    EXPECT_EQ(*counts, (TintraClassicSoundCounts { 2, 0, 1 }));
    EXPECT_EQ(resourceNames(), (std::vector<std::string> { "MenuClose.caf", "MenuOpen.caf" }));
    EXPECT_EQ(contentsOf(resources() / "MenuClose.caf"), contentsOf(resources() / "MenuOpen.caf"));
}

TEST_F(ClassicImportFiles, UnknownCodesAndUndecodableSoundsAreSkipped)
{
    TintraClassicSoundSet set;
    const auto good = soundFormat2(standardHeader({ 1, 2, 3 }, rate22k));
    set.soundBodies = {
        { 1, good },
        { 2, soundFormat2(compressedHeader("ima4", 1, 64, rate22k, Bytes(34, 0))) },
        { 3, good },
        { 4, soundFormat2(standardHeader({ 1, 2, 3 }, 0)) },
    };
    set.compressedResourceIDs = { 3 };
    set.resourceIDsBySoundID = {
        { TintraSoundID("zzzz"), 1 },  // no catalogue row
        { TintraSoundID("btnp"), 2 },  // IMA 4:1
        { TintraSoundID("btnr"), 2 },  // the same resource, remembered as failed
        { TintraSoundID("mnuo"), 3 },  // compressed by the Resource Manager
        { TintraSoundID("mnuc"), 4 },  // no sample rate
        { TintraSoundID("mnui"), 1 },
        { TintraSoundID("mnus"), 9 },  // no such resource
    };
    const auto counts = writeClassicSounds(set, bundle());
    ASSERT_TRUE(counts);
    EXPECT_EQ(*counts, (TintraClassicSoundCounts { 1, 6, 1 }));
    EXPECT_EQ(resourceNames(), std::vector<std::string> { "MenuItemHilite.caf" });
}

TEST_F(ClassicImportFiles, ExistingFileIsLeftAloneAndNotCounted)
{
    std::ofstream(resources() / "MenuOpen.caf") << "mine";
    TintraClassicSoundSet set;
    set.soundBodies = { { 1, soundFormat2(standardHeader({ 1 }, rate22k)) } };
    set.resourceIDsBySoundID = { { TintraSoundID("mnuo"), 1 } };
    EXPECT_EQ(*writeClassicSounds(set, bundle()), (TintraClassicSoundCounts { 0, 0, 0 }));
    EXPECT_EQ(contentsOf(resources() / "MenuOpen.caf"), (Bytes { 'm', 'i', 'n', 'e' }));
}

class ClassicImport : public ::testing::Test {
protected:
    fs::path writeClassicFile(const std::string& name, const std::vector<ForkEntry>& entries)
    {
        const auto file = folder.path() / name;
        const auto fork = resourceFork(entries);
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(fork.data()), std::streamsize(fork.size()));
        return file;
    }
    fs::path output() const { return folder.path() / "import"; }
    std::vector<fs::path> outputContents() const
    {
        std::vector<fs::path> items;
        for (const auto& item : fs::recursive_directory_iterator(output()))
            items.push_back(item.path());
        return items;
    }

    TemporaryFolder folder;
    SoundTypeRegistryFake registry;
};

TEST_F(ClassicImport, WritesABundleTheLibraryReads)
{
    const auto file = writeClassicFile("Mac OS Sounds", {
        { "snd ", 128, std::nullopt, soundFormat2(standardHeader(Bytes(500, 0x90), rate22k)) },
        { "snd ", 129, std::nullopt, soundFormat2(compressedHeader("MAC3", 1, 64, rate22k, Bytes(22, 0))) },
        { "snd#", 128, std::nullopt, soundList({
            { TintraSoundID("mnuo"), { 128 } }, { TintraSoundID("mnuc"), { 128 } }, { TintraSoundID("btnp"), { 129 } } }, 20) },
        { "vers", 1, std::nullopt, versionResource("8.5", "\xC2\xA9 1998 Apple Computer") },
    });
    fs::create_directories(output());
    const auto summary = importClassicSoundSet(file, output());
    ASSERT_TRUE(summary) << summary.error().description();
    EXPECT_EQ(*summary, (TintraClassicImportSummary { "Mac OS Sounds", 2, 1, 1 }));
    EXPECT_EQ(importSummaryText(std::span(&*summary, 1)), "Mac OS Sounds: 2 events from 1 sounds, 1 skipped");

    const auto bundle = loadBundle(output() / "Mac OS Sounds.tintraset", false, registry);
    ASSERT_TRUE(bundle) << bundle.error().description();
    EXPECT_EQ(bundle->metadata(), (TintraBundleMetadata { TINTRA_MAKER_PREFIX ".tintraset.imported.mac-os-sounds",
                                      "Mac OS Sounds", "8.5", std::nullopt, "\xC2\xA9 1998 Apple Computer", 1 }));
    const auto resources = output() / "Mac OS Sounds.tintraset" / "Contents" / "Resources";
    EXPECT_EQ(bundle->soundURLsByID(), (std::map<TintraSoundID, fs::path> {
        { TintraSoundID("mnuc"), resources / "MenuClose.caf" }, { TintraSoundID("mnuo"), resources / "MenuOpen.caf" } }));
    EXPECT_TRUE(bundle->unmatchedResourceNames().empty());
    EXPECT_EQ(readWithSndfile(resources / "MenuOpen.caf").samples, std::vector<std::int16_t>(500, 0x10 * 256));
}

TEST_F(ClassicImport, NothingDecodableLeavesNothingBehind)
{
    const auto file = writeClassicFile("Hi-Tech", {
        { "snd ", 1, std::nullopt, soundFormat2(compressedHeader("ima4", 1, 64, rate22k, Bytes(34, 0))) },
        { "snd ", 2, std::nullopt, soundFormat2(compressedHeader("ima4", 2, 64, rate22k, Bytes(68, 0))) },
        { "snd#", 128, std::nullopt, soundList({ { TintraSoundID("mnuo"), { 1 } }, { TintraSoundID("wcls"), { 2 } } }, 20) },
    });
    fs::create_directories(output());
    const auto result = importClassicSoundSet(file, output());
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().description(), "Nothing in Hi-Tech could be decoded into audio");
    EXPECT_TRUE(outputContents().empty());
}

TEST_F(ClassicImport, FailuresOfTheFileAndTheBundlePassThrough)
{
    const auto plain = writeClassicFile("Read Me", {});
    fs::resize_file(plain, 0);
    const auto notClassic = importClassicSoundSet(plain, output());
    ASSERT_FALSE(notClassic);
    EXPECT_EQ(notClassic.error().description(), "Read Me has no resource fork, so it is not a classic sound set");
    EXPECT_FALSE(fs::exists(output()));

    // Only codes the catalogue does not know: the mapping stands, but nothing is written for it.
    const auto unknown = writeClassicFile("Odd", {
        { "snd ", 1, std::nullopt, soundFormat2(standardHeader({ 1, 2 }, rate22k)) },
        { "snd#", 128, std::nullopt, soundList({ { TintraSoundID("zzzz"), { 1 } } }, 20) },
    });
    EXPECT_EQ(importClassicSoundSet(unknown, output()).error().description(), "Nothing in Odd could be decoded into audio");

    // The bundle's place is taken by a file, so its skeleton cannot be written.
    const auto good = writeClassicFile("Good", {
        { "snd ", 1, "mnuo", soundFormat2(standardHeader({ 1, 2 }, rate22k)) },
    });
    fs::create_directories(output());
    std::ofstream(output() / "Good.tintraset") << "taken";
    const auto blocked = importClassicSoundSet(good, output());
    ASSERT_FALSE(blocked);
    EXPECT_TRUE(std::holds_alternative<PlatformError>(blocked.error().cause));
    EXPECT_EQ(contentsOf(output() / "Good.tintraset"), (Bytes { 't', 'a', 'k', 'e', 'n' }));
}

TEST(ClassicImportFolder, IsFreshAndInTheTemporaryFolder)
{
    const auto first = makeTemporaryImportFolder();
    const auto second = makeTemporaryImportFolder();
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    for (const auto& folder : { *first, *second }) {
        EXPECT_TRUE(fs::is_directory(folder));
        EXPECT_EQ(folder.parent_path(), fs::temp_directory_path());
        EXPECT_TRUE(std::regex_match(folder.filename().string(),
            std::regex("tintra-import-[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
            << folder;
        fs::remove(folder);
    }
}

TEST(ClassicImportSummary, TextForOneAndSeveralSets)
{
    const std::vector<TintraClassicImportSummary> one { { "Platinum", 80, 0, 60 } };
    EXPECT_EQ(importSummaryText(one), "Platinum: 80 events from 60 sounds");
    const std::vector<TintraClassicImportSummary> two { { "Platinum", 80, 1, 60 }, { "Hi-Tech", 20, 2, 10 } };
    EXPECT_EQ(importSummaryText(two), "Imported 2 sets: 100 events from 70 sounds, 3 skipped");
    EXPECT_EQ(importSummaryText({}), "");
}

} // namespace
} // namespace tintra
