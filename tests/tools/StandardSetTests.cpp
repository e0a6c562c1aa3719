#include "Levels.h"
#include "SoundDesign.h"
#include "StandardSet.h"

#include "catalogue/Catalogue.h"
#include "fakes/TemporaryFolder.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/FileBookmarksFake.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "platform/linux/files/SoundTypeRegistryLinux.h"
#include "soundsets/Assignments.h"
#include "soundsets/Bundle.h"
#include "soundsets/Library.h"
#include "support/Text.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

namespace tintra::standardset {
namespace {

namespace fs = std::filesystem;

struct Decoded {
    SF_INFO info {};
    std::vector<std::int16_t> samples;
    double seconds() const { return double(samples.size()) / info.samplerate; }
};

std::optional<Decoded> decode(const fs::path& file)
{
    Decoded decoded;
    SNDFILE* sound = sf_open(file.c_str(), SFM_READ, &decoded.info);
    if (!sound)
        return std::nullopt;
    decoded.samples.resize(std::size_t(decoded.info.frames * decoded.info.channels));
    const auto read = sf_read_short(sound, decoded.samples.data(), sf_count_t(decoded.samples.size()));
    sf_close(sound);
    if (read != sf_count_t(decoded.samples.size()))
        return std::nullopt;
    return decoded;
}

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

bool isLooping(const TintraSetEntry& entry) { return entry.flags.contains(TintraSoundFlags::looping); }

// One generation shared by the suite: every check reads the same files.
class StandardSet : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<TemporaryFolder>();
        const auto written = writeStandardSet(bundle());
        ASSERT_TRUE(written) << written.error().description();
        for (const auto& entry : listedCatalogue())
            if (auto decoded = decode(resources() / standardFileName(entry)))
                sounds_.emplace(entry.fileName, std::move(*decoded));
    }
    static void TearDownTestSuite()
    {
        folder_.reset();
        sounds_.clear();
    }

    static fs::path bundle() { return folder_->path() / "Tintra Standard.tintraset"; }
    static fs::path resources() { return bundle() / "Contents" / "Resources"; }
    static const Decoded& sound(const TintraSetEntry& entry) { return sounds_.at(entry.fileName); }

    static Samples asSamples(const Decoded& decoded)
    {
        Samples samples(decoded.samples.size());
        std::transform(decoded.samples.begin(), decoded.samples.end(), samples.begin(),
            [](std::int16_t s) { return s / 32768.0; });
        return samples;
    }

    static inline std::unique_ptr<TemporaryFolder> folder_;
    static inline std::map<std::string_view, Decoded> sounds_;
};

TEST_F(StandardSet, LoadsAsABundleWithOneSoundPerListedEventAndNothingElse)
{
    const auto loaded = loadBundle(bundle(), true, SoundTypeRegistryLinux());
    ASSERT_TRUE(loaded) << loaded.error().description();
    EXPECT_EQ(loaded->metadata().identifier, "org.tintradorvel.tintraset.standard");
    EXPECT_EQ(loaded->metadata().name, "Tintra Standard");
    EXPECT_TRUE(loaded->unmatchedResourceNames().empty());
    EXPECT_TRUE(loaded->baseNameCollisions().empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(resources()), fs::directory_iterator()), 139);
    for (const auto& entry : listedCatalogue())
        EXPECT_TRUE(loaded->contains(entry.soundID)) << entry.fileName << " has no file";
}

TEST_F(StandardSet, EveryFileDecodesAsSixteenBitMono)
{
    for (const auto& entry : listedCatalogue()) {
        ASSERT_TRUE(sounds_.contains(entry.fileName)) << entry.fileName << " does not decode";
        const auto& info = sound(entry).info;
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << entry.fileName;
        EXPECT_EQ(info.channels, 1) << entry.fileName;
        EXPECT_EQ(info.samplerate, 44100) << entry.fileName;
        EXPECT_GT(info.frames, 0) << entry.fileName;
    }
}

TEST_F(StandardSet, NoSampleClipsOrPassesMinusOneDecibel)
{
    const auto ceiling = std::int16_t(32767.0 * std::pow(10.0, -1.0 / 20.0));
    for (const auto& entry : listedCatalogue()) {
        const auto& samples = sound(entry).samples;
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_GE(*low, -ceiling) << entry.fileName;
        EXPECT_LE(*high, ceiling) << entry.fileName;
    }
}

TEST_F(StandardSet, ShortSoundsStayShort)
{
    for (const auto& entry : listedCatalogue()) {
        const double seconds = sound(entry).seconds();
        if (entry.soundID == TintraSoundID::login || entry.soundID == TintraSoundID::logout) {
            EXPECT_LE(seconds, 2.0) << entry.fileName;
        } else if (isLooping(entry)) {
            continue;
        } else if (entry.category == TintraSoundCategory::control || entry.category == TintraSoundCategory::menu) {
            EXPECT_LE(seconds, 0.150) << entry.fileName;
        } else if (entry.category == TintraSoundCategory::window) {
            EXPECT_LE(seconds, 0.400) << entry.fileName;
        }
    }
}

TEST_F(StandardSet, SoundsStartAndEndInSilenceAndLoopsJoinWithoutAStep)
{
    for (const auto& entry : listedCatalogue()) {
        const auto& samples = sound(entry).samples;
        ASSERT_GE(samples.size(), 2u);
        if (!isLooping(entry)) {
            EXPECT_LE(std::abs(samples.front()), 8) << entry.fileName;
            EXPECT_LE(std::abs(samples.back()), 8) << entry.fileName;
            continue;
        }
        int largestStep = 0;
        for (std::size_t i = 1; i < samples.size(); ++i)
            largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - 1]));
        EXPECT_LE(std::abs(samples.back() - samples.front()), largestStep) << entry.fileName;
        EXPECT_GT(largestStep, 0) << entry.fileName << " is silent";
    }
}

TEST_F(StandardSet, LoudnessIsEvenWithinEachCategoryAndRole)
{
    std::map<std::pair<TintraSoundCategory, SoundRole>, std::vector<double>> loudnessByGroup;
    for (const auto& entry : listedCatalogue())
        loudnessByGroup[{ entry.category, recipeFor(entry)->role }].push_back(
            decibels(loudness(asSamples(sound(entry)))));
    for (const auto& [group, levels] : loudnessByGroup) {
        const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
        EXPECT_LE(*loudest - *quietest, 0.5) << "category " << int(group.first) << ", role " << int(group.second);
    }
    // The soft ticks sit clearly below the sounds of actions.
    for (auto category : allSoundCategories) {
        const auto main = loudnessByGroup.find({ category, SoundRole::main });
        const auto soft = loudnessByGroup.find({ category, SoundRole::soft });
        if (main != loudnessByGroup.end() && soft != loudnessByGroup.end()) {
            EXPECT_LT(*std::max_element(soft->second.begin(), soft->second.end()) + 6.0,
                *std::min_element(main->second.begin(), main->second.end()));
        }
    }
}

// Zero crossings per second: a rough pitch that the strike's noise does not hide.
double crossingRate(const Decoded& decoded)
{
    int crossings = 0;
    for (std::size_t i = 1; i < decoded.samples.size(); ++i)
        crossings += (decoded.samples[i - 1] < 0) != (decoded.samples[i] < 0);
    return crossings / decoded.seconds();
}

TEST_F(StandardSet, PressesAreLowerAndLongerThanReleases)
{
    int pairs = 0;
    for (const auto& press : listedCatalogue()) {
        const std::string_view name = press.fileName;
        const auto at = name.find("Press");
        if (press.category != TintraSoundCategory::control || at == std::string_view::npos
            || name.find("Track") != std::string_view::npos)
            continue;
        const auto* release = entryByFileName(lowercased(std::string(name.substr(0, at)) + "Release"));
        ASSERT_NE(release, nullptr) << name;
        EXPECT_LT(crossingRate(sound(press)), crossingRate(sound(*release))) << name;
        EXPECT_GT(sound(press).seconds(), sound(*release).seconds()) << name;
        ++pairs;
    }
    EXPECT_EQ(pairs, 18);
}

TEST(StandardSetDesign, EveryKindOfControlHasItsOwnVoice)
{
    std::map<std::string_view, ControlVoice> voices;
    for (const auto& entry : listedCatalogue())
        if (entry.category == TintraSoundCategory::control && !isLooping(entry)) {
            const auto kind = controlKind(entry.fileName.substr(0, entry.fileName.rfind('.')));
            voices.emplace(kind, controlVoice(kind));
        }
    EXPECT_EQ(voices.size(), 23u);
    for (auto a = voices.begin(); a != voices.end(); ++a)
        for (auto b = std::next(a); b != voices.end(); ++b)
            EXPECT_GT(std::abs(std::log2(a->second.pitch / b->second.pitch)), 0.02)
                << a->first << " sounds like " << b->first;
}

TEST_F(StandardSet, TwoGenerationsWriteTheSameBytes)
{
    const TemporaryFolder folder;
    const auto again = folder.path() / "Again.tintraset";
    const auto written = writeStandardSet(again);
    ASSERT_TRUE(written) << written.error().description();
    const auto againResources = again / "Contents" / "Resources";
    for (const auto& entry : listedCatalogue()) {
        const auto name = standardFileName(entry);
        EXPECT_EQ(bytesOf(resources() / name), bytesOf(againResources / name)) << name;
    }
    EXPECT_EQ(bytesOf(bundle() / "Contents" / "Info.plist"), bytesOf(again / "Contents" / "Info.plist"));
}

TEST_F(StandardSet, WavFilesCarryOnlyTheirFormatAndSamples)
{
    // A date or software chunk would make builds differ.
    for (const auto& entry : listedCatalogue()) {
        const auto bytes = bytesOf(resources() / standardFileName(entry));
        ASSERT_GE(bytes.size(), 12u);
        std::vector<std::string> chunks;
        for (std::size_t at = 12; at + 8 <= bytes.size();) {
            const auto size = std::uint32_t(std::uint8_t(bytes[at + 4]))
                | std::uint32_t(std::uint8_t(bytes[at + 5])) << 8 | std::uint32_t(std::uint8_t(bytes[at + 6])) << 16
                | std::uint32_t(std::uint8_t(bytes[at + 7])) << 24;
            chunks.push_back(bytes.substr(at, 4));
            at += 8 + size + (size & 1);
        }
        EXPECT_EQ(chunks, (std::vector<std::string> { "fmt ", "data" })) << entry.fileName;
    }
}

TEST(StandardSetInstalled, TheBuildTreeSetIsBuiltInAndAsBaselineResolvesEveryListedEvent)
{
    const TemporaryFolder user;
    const SoundTypeRegistryLinux registry;
    const TintraLibrary library(user.path() / "Tintr Sets", standardBuiltInDirectory(), registry);
    const auto* standard = library.bundle(std::string(kStandardSetIdentifier));
    ASSERT_NE(standard, nullptr) << "the build tree holds no standard set";
    EXPECT_TRUE(standard->isBuiltIn());
    EXPECT_EQ(standard->metadata().name, "Tintra Standard");

    DefaultsMemory defaults;
    FileBookmarksFake bookmarks;
    TintraAssignments assignments(defaults, bookmarks, registry);
    assignments.setBaselineIdentifier(standard->metadata().identifier);
    for (const auto& entry : listedCatalogue()) {
        const auto url = assignments.resolvedURL(entry.soundID, library);
        ASSERT_TRUE(url) << entry.fileName << " resolves to nothing";
        EXPECT_TRUE(fs::is_regular_file(*url)) << *url;
    }
}

TEST(StandardSetWriting, RefusesAFolderThatIsNoBundle)
{
    const TemporaryFolder folder;
    const auto target = folder.path() / "Precious";
    fs::create_directories(target);
    std::ofstream(target / "keep.txt") << "mine";
    const auto written = writeStandardSet(target);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().kind, StandardSetError::Case::notABundleName);
    EXPECT_EQ(written.error().description(), "Precious does not end in .tintraset");
    EXPECT_TRUE(fs::exists(target / "keep.txt"));
}

TEST(StandardSetWriting, ReportsAFolderItCannotCreate)
{
    const TemporaryFolder folder;
    std::ofstream(folder.path() / "file") << "in the way";
    const auto written = writeStandardSet(folder.path() / "file" / "Set.tintraset");
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().kind, StandardSetError::Case::unwritable);
    EXPECT_EQ(written.error().description().rfind("Could not write Set.tintraset: ", 0), 0u)
        << written.error().description();
}

} // namespace
} // namespace tintra::standardset
