#include "fakes/DefaultsMemory.h"
#include "fakes/FileBookmarksFake.h"
#include "fakes/SoundTypeRegistryFake.h"
#include "soundsets/Export.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using testing::contentsOf;
using testing::namesIn;
using testing::writeBundle;
using testing::writeSound;
using testing::writeText;

constexpr TintraSoundID kMenuOpen("mnuo");
constexpr TintraSoundID kMenuClose("mnuc");
constexpr TintraSoundID kMenuItem("mnui");

class ExportTest : public ::testing::Test {
protected:
    ExportTest()
    {
        fs::create_directories(sets);
        fs::create_directories(temporary);
        fs::create_directories(out);
        writeBundle(sets / "Base.tintraset", "org.example.base", "Base", { "MenuItemHilite.aiff", "MenuOpen.aiff" });
        library.reload();
    }

    fs::path resources(const fs::path& bundle) const { return bundle / "Contents" / "Resources"; }
    fs::path baseFile(std::string_view name) const { return resources(sets / "Base.tintraset") / name; }
    tl::expected<TintraExportSummary, TintraExportError> exportTo(
        const fs::path& destination, const std::vector<TintraExportSource>& sources)
    {
        return exportSoundSet(sources, destination, temporary);
    }

    TemporaryFolder folder;
    fs::path sets = folder / "sets";
    fs::path temporary = folder / "tmp";
    fs::path out = folder / "out";
    DefaultsMemory defaults;
    FileBookmarksFake bookmarks;
    SoundTypeRegistryFake registry;
    TintraLibrary library { sets, std::nullopt, registry };
};

TEST_F(ExportTest, SourcesFollowWhatPlaysAndTheProposedNameFollowsTheBaseline)
{
    TintraAssignments assignments(defaults, bookmarks, registry);
    EXPECT_EQ(defaultExportName(assignments, library), "My Sounds");
    EXPECT_TRUE(exportSources(assignments, library).empty());

    assignments.setBaselineIdentifier("org.example.base");
    EXPECT_EQ(defaultExportName(assignments, library), "Base Custom");
    writeSound(folder / "Pop.wav");
    ASSERT_TRUE(assignments.setCustomSound(folder / "Pop.wav", kMenuClose));
    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuOpen));
    EXPECT_EQ(exportSources(assignments, library), (std::vector<TintraExportSource> {
                                                       { kMenuClose, folder / "Pop.wav", true },
                                                       { kMenuItem, baseFile("MenuItemHilite.aiff"), false },
                                                   }));

    // Every sound silenced: nothing to export.
    for (const auto& source : exportSources(assignments, library))
        ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), source.soundID));
    const auto sources = exportSources(assignments, library);
    EXPECT_TRUE(sources.empty());
    const auto result = exportSoundSet(sources, out / "Empty.tintraset");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().description(), "No event has a sound to export");
    EXPECT_FALSE(fs::exists(out / "Empty.tintraset"));
}

TEST_F(ExportTest, CatalogueNamedFilesNeedNoMapAndSharedOrRenamedFilesDo)
{
    writeSound(folder / "Pop.wav");
    const auto destination = out / "Mine.tintraset";
    const auto summary = exportTo(destination, {
                                                   { kMenuItem, baseFile("MenuItemHilite.aiff"), false },
                                                   { kMenuOpen, folder / "Pop.wav", true },
                                                   { kMenuClose, folder / "Pop.wav", true },
                                                   { kMenuOpen, baseFile("MenuOpen.aiff"), false }, // already has a file
                                               });
    ASSERT_TRUE(summary) << summary.error().description();
    EXPECT_EQ(*summary, (TintraExportSummary { "Mine", 3, 2, 2, 2, 0 }));
    EXPECT_EQ(namesIn(resources(destination)), (std::vector<std::string> { "MenuItemHilite.aiff", "Pop.wav" }));

    const auto info = readInfoDictionary(destination);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("CFBundleIdentifier"), PropertyList(TINTRA_MAKER_PREFIX ".tintraset.exported.mine"));
    EXPECT_EQ(info->at("CFBundleShortVersionString"), PropertyList("1.0"));
    EXPECT_EQ(info->at("TintraSetSounds"),
        PropertyList(PropertyList::Dictionary { { "mnuo", "Pop.wav" }, { "mnuc", "Pop.wav" } }));
    // What was exported reads back as the same sounds.
    const auto loaded = loadBundle(destination, false, registry);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->url(kMenuItem), resources(destination) / "MenuItemHilite.aiff");
    EXPECT_EQ(loaded->url(kMenuClose), resources(destination) / "Pop.wav");
    EXPECT_TRUE(namesIn(temporary).empty()); // the staging folder is gone
}

TEST_F(ExportTest, ClashingAndHiddenNamesAreMadeUnique)
{
    fs::create_directories(folder / "a");
    fs::create_directories(folder / "b");
    writeSound(folder / "a" / "Click.aiff");
    writeSound(folder / "b" / "click.AIFF");
    writeSound(folder / ".hidden.wav");
    writeSound(folder / "...");
    const auto summary = exportTo(out / "Names.tintraset", {
                                                               { kMenuOpen, folder / "a" / "Click.aiff", true },
                                                               { kMenuClose, folder / "b" / "click.AIFF", true },
                                                               { kMenuItem, folder / ".hidden.wav", true },
                                                               { TintraSoundID("wcls"), folder / "...", true },
                                                           });
    ASSERT_TRUE(summary);
    EXPECT_EQ(namesIn(resources(out / "Names.tintraset")),
        (std::vector<std::string> { "Click.aiff", "Sound", "click 2.AIFF", "hidden.wav" }));
    EXPECT_EQ(summary->mappedEventCount, 4);

    EXPECT_EQ(uniqueExportFileName("/x/Sound", { "sound", "sound 2" }), "Sound 3");
    EXPECT_EQ(uniqueExportFileName("/x/Odd\x01\xFF.wav", {}), "Odd__.wav");
}

TEST_F(ExportTest, FilesThatCannotBeCopiedAreCountedAsSkipped)
{
    writeSound(folder / "Pop.wav");
    const auto summary = exportTo(out / "Some.tintraset", {
                                                              { kMenuOpen, folder / "missing.wav", false },
                                                              { kMenuClose, folder / "Pop.wav", false },
                                                              { kMenuItem, "/dev/zero", false },
                                                          });
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->skippedEventCount, 2);
    EXPECT_EQ(summary->eventCount, 1);

    const auto nothing = exportTo(out / "None.tintraset", { { kMenuOpen, folder / "missing.wav", false } });
    ASSERT_FALSE(nothing);
    EXPECT_EQ(nothing.error().kind, TintraExportError::Case::nothingToExport);
    EXPECT_FALSE(fs::exists(out / "None.tintraset"));
    EXPECT_TRUE(namesIn(temporary).empty());
}

TEST_F(ExportTest, ExportingOverAnExistingBundleReplacesItAsAWhole)
{
    const auto destination = out / "Mine.tintraset";
    writeBundle(destination, "org.example.old", "Old", { "MenuOpen.aiff", "WindowClose.wav" });
    writeText(destination / "Contents" / "Notes.txt", "old notes");
    const auto summary = exportTo(destination, { { kMenuItem, baseFile("MenuItemHilite.aiff"), false } });
    ASSERT_TRUE(summary) << summary.error().description();
    EXPECT_EQ(namesIn(destination / "Contents"), (std::vector<std::string> { "Info.plist", "Resources" }));
    EXPECT_EQ(namesIn(resources(destination)), std::vector<std::string> { "MenuItemHilite.aiff" });
    EXPECT_EQ(namesIn(out), std::vector<std::string> { "Mine.tintraset" }); // nothing left beside it

    // Written with a trailing slash, the destination is still replaced in place.
    ASSERT_TRUE(exportTo(destination.string() + "/", { { kMenuOpen, baseFile("MenuOpen.aiff"), false } }));
    EXPECT_EQ(namesIn(resources(destination)), std::vector<std::string> { "MenuOpen.aiff" });
    EXPECT_EQ(namesIn(out), std::vector<std::string> { "Mine.tintraset" });
}

TEST_F(ExportTest, APlacementFailureLeavesTheOldBundleAndNoLeftovers)
{
    const auto destination = out / "Mine.tintraset";
    const auto summary = exportTo(out / "missing folder" / "Mine.tintraset",
        { { kMenuItem, baseFile("MenuItemHilite.aiff"), false } });
    ASSERT_FALSE(summary);
    EXPECT_EQ(summary.error().description(), "Could not save Mine.tintraset: No such file or directory");
    EXPECT_TRUE(namesIn(temporary).empty());

    // A staging folder that cannot be made leaves an existing bundle untouched.
    writeBundle(destination, "org.example.old", "Old", { "MenuOpen.aiff" });
    writeText(folder / "blocker", "");
    const auto unbuildable = exportSoundSet(
        { { kMenuItem, baseFile("MenuItemHilite.aiff"), false } }, destination, folder / "blocker");
    ASSERT_FALSE(unbuildable);
    EXPECT_EQ(unbuildable.error().description().rfind("Could not build Mine.tintraset: ", 0), 0u);
    EXPECT_EQ(namesIn(resources(destination)), std::vector<std::string> { "MenuOpen.aiff" });
}

TEST(ExportSoundMap, LeavesOutOnlyFilesWithTheCatalogueNameUsedByOneSound)
{
    const std::map<TintraSoundID, std::string> names {
        { TintraSoundID("mnuo"), "menuopen.wav" },  // catalogue name, any case and extension
        { TintraSoundID("mnuc"), "Shared.aiff" },   // not the catalogue name
        { TintraSoundID("mnui"), "MenuOpen.aiff" }, // another sound's name
        { TintraSoundID("zzzz"), "zzzz.aiff" },     // no catalogue row
    };
    const auto map = exportSoundMap(names, { { "menuopen.wav", 1 }, { "Shared.aiff", 1 }, { "MenuOpen.aiff", 1 } });
    EXPECT_EQ(map,
        (std::map<TintraSoundID, std::string> {
            { TintraSoundID("mnuc"), "Shared.aiff" },
            { TintraSoundID("mnui"), "MenuOpen.aiff" },
            { TintraSoundID("zzzz"), "zzzz.aiff" } }));
    EXPECT_EQ(exportSoundMap({ { TintraSoundID("mnuo"), "MenuOpen.aiff" } }, { { "MenuOpen.aiff", 2 } }).size(), 1u);
}

} // namespace
} // namespace tintra
