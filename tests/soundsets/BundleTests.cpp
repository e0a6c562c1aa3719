#include "fakes/SoundTypeRegistryFake.h"
#include "soundsets/Bundle.h"
#include "soundsets/SoundFile.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using testing::writeBundle;
using testing::writeSound;
using testing::writeText;

class BundleTest : public ::testing::Test {
protected:
    tl::expected<TintraBundle, TintraBundleError> load(const fs::path& bundle, bool isBuiltIn = false)
    {
        return loadBundle(bundle, isBuiltIn, registry);
    }
    fs::path resources(const fs::path& bundle) const { return bundle / "Contents" / "Resources"; }

    TemporaryFolder folder;
    SoundTypeRegistryFake registry;
};

TEST_F(BundleTest, SoundFileTestTakesOpenableExtensionsThenRegisteredAudioAndMovieTypes)
{
    EXPECT_TRUE(isSoundFile("/a/Click.AIFF", registry));
    EXPECT_TRUE(isSoundFile("/a/voice.m4a", registry)); // registered audio type
    EXPECT_TRUE(isSoundFile("/a/clip.mov", registry));  // movie
    EXPECT_FALSE(isSoundFile("/a/Readme.txt", registry));
    EXPECT_FALSE(isSoundFile("/a/unknown.xyz", registry));
    EXPECT_FALSE(isSoundFile("/a/NoExtension", registry));
    EXPECT_FALSE(isSoundFile("/a/trailing.", registry));
}

TEST_F(BundleTest, ContentTypesStartWithTheGenericTypeAndNameEachOnce)
{
    EXPECT_EQ(soundContentTypes(registry),
        (std::vector<std::string> { "public.audio", "public.aiff-audio", "public.aifc-audio", "public.wav", "public.mp3" }));
}

TEST_F(BundleTest, MatchesCatalogueNamesInAnyCaseAndExtensionFirstSortedNameWinning)
{
    const auto bundle = folder / "Chimes.tintraset";
    writeBundle(bundle, "org.example.chimes", "Chimes",
        { "MenuItemHilite.aiff", "menuitemhilite.wav", "menuopen.WAV", "Whatever.aiff" });
    writeText(resources(bundle) / "Readme.txt", "not a sound");
    writeSound(resources(bundle) / ".MenuClose.aiff");
    writeSound(resources(bundle) / "WindowClose"); // no extension

    const auto loaded = load(bundle);
    ASSERT_TRUE(loaded) << loaded.error().description();
    EXPECT_EQ(loaded->url(TintraSoundID("mnui")), resources(bundle) / "MenuItemHilite.aiff");
    EXPECT_EQ(loaded->url(TintraSoundID("mnuo")), resources(bundle) / "menuopen.WAV");
    EXPECT_FALSE(loaded->contains(TintraSoundID("mnuc"))); // hidden file ignored
    EXPECT_EQ(loaded->soundURLsByID().size(), 2u);
    EXPECT_EQ(loaded->unmatchedResourceNames(), std::vector<std::string> { "Whatever.aiff" });
    EXPECT_EQ(loaded->baseNameCollisions(),
        (std::map<std::string, std::vector<std::string>> { { "menuitemhilite", { "menuitemhilite.wav" } } }));
}

TEST_F(BundleTest, ExplicitMapTakesPrecedenceAndTheMatchingFileBecomesACollision)
{
    const auto bundle = folder / "Mapped.tintraset";
    writeBundle(bundle,
        PropertyList::Dictionary {
            { "CFBundleIdentifier", "org.example.mapped" },
            { "TintraSetSounds",
                PropertyList::Dictionary {
                    { "mnui", "x.aiff" },
                    { "mnuo", "missing.aiff" }, // names no file: ignored
                    { "wcl", "menuopen.aiff" }, // three bytes: ignored
                } },
        },
        { "x.aiff", "MenuItemHilite.aiff", "MenuOpen.aiff" });

    const auto loaded = load(bundle);
    ASSERT_TRUE(loaded) << loaded.error().description();
    EXPECT_EQ(loaded->url(TintraSoundID("mnui")), resources(bundle) / "x.aiff");
    EXPECT_EQ(loaded->url(TintraSoundID("mnuo")), resources(bundle) / "MenuOpen.aiff");
    EXPECT_EQ(loaded->baseNameCollisions().at("menuitemhilite"), std::vector<std::string> { "MenuItemHilite.aiff" });
    EXPECT_TRUE(loaded->unmatchedResourceNames().empty()); // x.aiff is claimed by the map
}

TEST_F(BundleTest, AMapWithAValueOfAnotherTypeCountsAsAbsent)
{
    const auto bundle = folder / "Odd.tintraset";
    writeBundle(bundle,
        PropertyList::Dictionary {
            { "CFBundleIdentifier", "org.example.odd" },
            { "TintraSetSounds", PropertyList::Dictionary { { "mnui", "x.aiff" }, { "mnuo", 5 } } },
        },
        { "x.aiff" });
    const auto loaded = load(bundle);
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded->contains(TintraSoundID("mnui")));
    EXPECT_EQ(loaded->unmatchedResourceNames(), std::vector<std::string> { "x.aiff" });
}

TEST_F(BundleTest, MetadataDefaultsComeFromTheFolderAndWrongTypesReadAsAbsent)
{
    const auto bundle = folder / "Old Set.tintraset";
    writeBundle(bundle,
        PropertyList::Dictionary {
            { "CFBundleIdentifier", "org.example.old" },
            { "CFBundleName", 12 },
            { "TintraSetFormatVersion", "2" },
            { "TintraSetAuthor", "Ann" },
            { "CFBundleShortVersionString", PropertyList::Array {} },
        });
    const auto loaded = load(bundle, true);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->metadata(),
        (TintraBundleMetadata { "org.example.old", "Old Set", std::nullopt, "Ann", std::nullopt, 1 }));
    EXPECT_TRUE(loaded->isBuiltIn());
}

TEST_F(BundleTest, EachKindOfDamageFailsWithItsOwnText)
{
    const auto describe = [&](const fs::path& bundle) {
        const auto loaded = load(bundle);
        return loaded ? std::string("loaded") : loaded.error().description();
    };
    writeText(folder / "File.tintraset", "");
    EXPECT_EQ(describe(folder / "File.tintraset"), "File.tintraset is not a folder");
    EXPECT_EQ(describe(folder / "Nothing.tintraset"), "Nothing.tintraset is not a folder");

    fs::create_directories(folder / "Empty.tintraset" / "Contents" / "Resources");
    EXPECT_EQ(describe(folder / "Empty.tintraset"), "Empty.tintraset has no Contents/Info.plist");

    fs::create_directories(folder / "Garbage.tintraset" / "Contents" / "Resources");
    writeText(folder / "Garbage.tintraset" / "Contents" / "Info.plist", "<plist><dict><key>");
    EXPECT_EQ(describe(folder / "Garbage.tintraset"), "Garbage.tintraset has an unreadable Contents/Info.plist");

    fs::create_directories(folder / "Array.tintraset" / "Contents" / "Resources");
    writeText(folder / "Array.tintraset" / "Contents" / "Info.plist", *writePropertyListXML(PropertyList::Array { "a" }));
    EXPECT_EQ(describe(folder / "Array.tintraset"), "Array.tintraset has an unreadable Contents/Info.plist");

    fs::create_directories(folder / "Folder.tintraset" / "Contents" / "Info.plist");
    EXPECT_EQ(describe(folder / "Folder.tintraset"), "Folder.tintraset has an unreadable Contents/Info.plist");

    writeBundle(folder / "Blank.tintraset", "", "Blank");
    EXPECT_EQ(describe(folder / "Blank.tintraset"), "Blank.tintraset declares no CFBundleIdentifier");

    writeBundle(folder / "NoSounds.tintraset", "org.example.nosounds", "No Sounds");
    fs::remove(folder / "NoSounds.tintraset" / "Contents" / "Resources");
    EXPECT_EQ(describe(folder / "NoSounds.tintraset"),
        "Could not read NoSounds.tintraset/Contents/Resources: No such file or directory");

    writeBundle(folder / "FileResources.tintraset", "org.example.fileresources", "x");
    fs::remove(folder / "FileResources.tintraset" / "Contents" / "Resources");
    writeText(folder / "FileResources.tintraset" / "Contents" / "Resources", "");
    EXPECT_EQ(describe(folder / "FileResources.tintraset"),
        "Could not read FileResources.tintraset/Contents/Resources: Not a directory");
}

TEST_F(BundleTest, LinkLoopsAndOddNamesAreNeverFollowedOrFatal)
{
    const auto bundle = folder / "Loops.tintraset";
    writeBundle(bundle, "org.example.loops", "Loops", { "MenuOpen.aiff" });
    fs::create_symlink("Loop.aiff", resources(bundle) / "Loop.aiff");
    fs::create_directory_symlink("..", resources(bundle) / "Up.aiff");
    writeSound(resources(bundle) / "Odd\xFF\x01name.aiff");
    fs::create_symlink("Info.plist", bundle / "Contents" / "Self");

    const auto loaded = load(bundle);
    ASSERT_TRUE(loaded) << loaded.error().description();
    EXPECT_TRUE(loaded->contains(TintraSoundID("mnuo")));
    EXPECT_EQ(loaded->unmatchedResourceNames(), (std::vector<std::string> { "Loop.aiff", "Odd\xFF\x01name.aiff" }));

    const auto looped = folder / "Looped.tintraset";
    fs::create_directories(looped / "Contents");
    fs::create_symlink("Info.plist", looped / "Contents" / "Info.plist");
    EXPECT_EQ(load(looped).error().kind, TintraBundleError::Case::malformedInfoPlist);
}

TEST_F(BundleTest, UnreadableResourcesFailTheLoad)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold back root";
    const auto bundle = folder / "Locked.tintraset";
    writeBundle(bundle, "org.example.locked", "Locked", { "MenuOpen.aiff" });
    fs::permissions(resources(bundle), fs::perms::none);
    const auto loaded = load(bundle);
    fs::permissions(resources(bundle), fs::perms::owner_all);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error().description(), "Could not read Locked.tintraset/Contents/Resources: Permission denied");
}

TEST_F(BundleTest, SkeletonRoundTripsThroughTheReader)
{
    const auto bundle = folder / "deep" / "New.tintraset";
    const TintraBundleMetadata metadata { "org.example.new", "New", "2.1", "Ann", "© 1997", 3 };
    const auto written = writeBundleSkeleton(bundle, metadata, { { TintraSoundID("mnui"), "Pop.wav" } });
    ASSERT_TRUE(written) << written.error().description();
    EXPECT_EQ(*written, bundle);
    writeSound(resources(bundle) / "Pop.wav");

    const auto loaded = load(bundle);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->metadata(), metadata);
    EXPECT_EQ(loaded->url(TintraSoundID("mnui")), resources(bundle) / "Pop.wav");
    const auto info = readInfoDictionary(bundle);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("CFBundlePackageType"), PropertyList("TSET"));
    EXPECT_EQ(info->at("CFBundleInfoDictionaryVersion"), PropertyList("6.0"));
    EXPECT_NE(testing::contentsOf(bundle / "Contents" / "Info.plist").find("<?xml"), std::string::npos);

    // Written again without a map: no "TintraSetSounds", optional keys absent.
    ASSERT_TRUE(writeBundleSkeleton(bundle, TintraBundleMetadata { "org.example.new", "New", {}, {}, {}, 1 }));
    const auto rewritten = readInfoDictionary(bundle);
    EXPECT_FALSE(rewritten->contains("TintraSetSounds"));
    EXPECT_FALSE(rewritten->contains("TintraSetAuthor"));
    EXPECT_TRUE(hasResourcesFolder(bundle));
    EXPECT_FALSE(hasResourcesFolder(folder.path()));
}

TEST_F(BundleTest, SkeletonFailsWhereTheFolderCannotBeMade)
{
    writeText(folder / "Blocker", "");
    const auto written = writeBundleSkeleton(folder / "Blocker" / "X.tintraset", { "a", "A", {}, {}, {}, 1 });
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().description(), "Not a directory");
}

} // namespace
} // namespace tintra
