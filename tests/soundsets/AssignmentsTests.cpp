#include "fakes/DefaultsMemory.h"
#include "fakes/FileBookmarksFake.h"
#include "fakes/SoundTypeRegistryFake.h"
#include "soundsets/Assignments.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using testing::writeBundle;
using testing::writeSound;
using testing::writeText;

constexpr TintraSoundID kMenuOpen("mnuo");
constexpr TintraSoundID kMenuClose("mnuc");
constexpr TintraSoundID kMenuItem("mnui");

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

class AssignmentsTest : public ::testing::Test {
protected:
    AssignmentsTest()
    {
        fs::create_directories(sets);
        writeBundle(sets / "Base.tintraset", "org.example.base", "Base", { "MenuOpen.aiff", "MenuClose.aiff" });
        writeBundle(sets / "Other.tintraset", "org.example.other", "Other", { "MenuOpen.aiff" });
        writeSound(folder / "Pop.wav");
        library.reload();
    }

    TintraAssignments make() { return TintraAssignments(defaults, bookmarks, registry); }
    const PropertyList& stored(std::string_view key) const { return defaults.values().find(key)->second; }
    fs::path setFile(std::string_view set, std::string_view file) const
    {
        return sets / set / "Contents" / "Resources" / file;
    }

    TemporaryFolder folder;
    fs::path sets = folder / "sets";
    DefaultsMemory defaults;
    FileBookmarksFake bookmarks;
    SoundTypeRegistryFake registry;
    TintraLibrary library { sets, std::nullopt, registry };
};

TEST_F(AssignmentsTest, ResolvesBaselineOverridesAndSilenceWithoutFallingBack)
{
    auto assignments = make();
    EXPECT_EQ(assignments.resolvedURL(kMenuOpen, library), std::nullopt); // no baseline
    assignments.setBaselineIdentifier("org.example.base");
    EXPECT_EQ(assignments.resolvedURL(kMenuOpen, library), setFile("Base.tintraset", "MenuOpen.aiff"));
    EXPECT_EQ(assignments.sourceName(kMenuOpen, library), "Base");

    ASSERT_TRUE(assignments.setSelection(TintraSelection::set("org.example.other"), kMenuOpen));
    EXPECT_EQ(assignments.resolvedURL(kMenuOpen, library), setFile("Other.tintraset", "MenuOpen.aiff"));
    ASSERT_TRUE(assignments.setSelection(TintraSelection::set("org.example.other"), kMenuClose));
    EXPECT_EQ(assignments.resolvedURL(kMenuClose, library), std::nullopt); // the set lacks it: no fallback
    ASSERT_TRUE(assignments.setSelection(TintraSelection::set("org.example.gone"), kMenuClose));
    EXPECT_EQ(assignments.resolvedURL(kMenuClose, library), std::nullopt);
    EXPECT_EQ(assignments.sourceName(kMenuClose, library), std::nullopt);

    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuOpen));
    EXPECT_EQ(assignments.selection(kMenuOpen), TintraSelection::silent());
    EXPECT_EQ(assignments.resolvedURL(kMenuOpen, library), std::nullopt);
    EXPECT_EQ(stored("TintraSoundSetOverrides"),
        PropertyList(PropertyList::Dictionary { { "mnuo", "" }, { "mnuc", "org.example.gone" } }));
}

TEST_F(AssignmentsTest, BaselineIsWrittenAndRemoved)
{
    auto assignments = make();
    assignments.setBaselineIdentifier("org.example.base");
    EXPECT_EQ(stored("TintraBaselineSetIdentifier"), PropertyList("org.example.base"));
    assignments.setBaselineIdentifier(std::nullopt);
    EXPECT_FALSE(defaults.values().contains("TintraBaselineSetIdentifier"));
    EXPECT_EQ(make().baselineIdentifier().get(), std::nullopt);
}

TEST_F(AssignmentsTest, LoadingSkipsBadKeysAndDropsADictionaryWithAWrongValue)
{
    defaults.set("TintraBaselineSetIdentifier", "org.example.base");
    defaults.set("TintraSoundSetOverrides",
        PropertyList::Dictionary { { "mnuo", "" }, { "mnu", "x" }, { "mnuoo", "x" }, { "mnuö", "x" }, { "mnuc", "a" } });
    defaults.set("TintraCustomSoundBookmarks", PropertyList::Dictionary { { "mnui", bytesOf("1:/nowhere/Pop.wav") } });
    auto assignments = make();
    EXPECT_EQ(assignments.overrides().get(),
        (TintraAssignments::Overrides { { kMenuOpen, "" }, { kMenuClose, "a" } }));
    // An unresolvable bookmark still gives its recorded path.
    EXPECT_EQ(assignments.selection(kMenuItem), TintraSelection::custom("/nowhere/Pop.wav"));

    defaults.set("TintraSoundSetOverrides", PropertyList::Dictionary { { "mnuo", "a" }, { "mnuc", 3 } });
    defaults.set("TintraCustomSoundBookmarks",
        PropertyList::Dictionary { { "mnui", bytesOf("1:/x.wav") }, { "mnuo", "not data" } });
    auto reloaded = make();
    EXPECT_TRUE(reloaded.overrides().get().empty());
    EXPECT_TRUE(reloaded.customSounds().get().empty());
}

TEST_F(AssignmentsTest, CustomSoundReplacesTheOverrideAndBaselineRemovesBoth)
{
    auto assignments = make();
    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuOpen));
    const int writesBefore = defaults.writeCount();
    ASSERT_TRUE(assignments.setSelection(TintraSelection::custom(folder / "Pop.wav"), kMenuOpen));
    EXPECT_EQ(defaults.writeCount(), writesBefore + 2); // both dictionaries
    EXPECT_EQ(assignments.selection(kMenuOpen), TintraSelection::custom(folder / "Pop.wav"));
    EXPECT_TRUE(assignments.overrides().get().empty());
    EXPECT_EQ(assignments.resolvedURL(kMenuOpen, library), folder / "Pop.wav");
    EXPECT_EQ(assignments.sourceName(kMenuOpen, library), "Pop.wav");

    ASSERT_TRUE(assignments.setSelection(TintraSelection::baseline(), kMenuOpen));
    EXPECT_EQ(defaults.writeCount(), writesBefore + 4);
    EXPECT_EQ(stored("TintraCustomSoundBookmarks"), PropertyList(PropertyList::Dictionary {}));
    EXPECT_EQ(assignments.selection(kMenuOpen), TintraSelection::baseline());

    // Baseline for a sound with neither still rewrites the overrides, and only them.
    ASSERT_TRUE(assignments.setSelection(TintraSelection::baseline(), kMenuClose));
    EXPECT_EQ(defaults.writeCount(), writesBefore + 5);
}

TEST_F(AssignmentsTest, ACustomFileMustBeASoundThatOpensAndBookmarks)
{
    auto assignments = make();
    ASSERT_TRUE(assignments.setSelection(TintraSelection::set("org.example.other"), kMenuOpen));
    const auto before = defaults.values();
    const auto fails = [&](const fs::path& file) {
        const auto result = assignments.setCustomSound(file, kMenuOpen);
        return result ? std::string("accepted") : result.error().description();
    };

    writeText(folder / "notes.txt", "hello");
    EXPECT_EQ(fails(folder / "notes.txt"), "notes.txt is not a sound file libsndfile can open");
    writeText(folder / "fake.wav", "not really audio");
    EXPECT_EQ(fails(folder / "fake.wav").rfind("Could not open fake.wav: ", 0), 0u);
    fs::create_directories(folder / "folder.wav");
    EXPECT_EQ(fails(folder / "folder.wav"), "Could not open folder.wav: Is a directory");
    bookmarks.setFailCreate(true);
    EXPECT_EQ(fails(folder / "Pop.wav"), "Could not remember where Pop.wav is: Operation not permitted");

    EXPECT_EQ(defaults.values(), before);
    EXPECT_EQ(assignments.selection(kMenuOpen), TintraSelection::set("org.example.other"));
}

TEST_F(AssignmentsTest, PruningDropsMissingSetsButKeepsSilenceAndWritesOnce)
{
    auto assignments = make();
    ASSERT_TRUE(assignments.setSelection(TintraSelection::set("org.example.other"), kMenuOpen));
    ASSERT_TRUE(assignments.setSelection(TintraSelection::set("org.example.gone"), kMenuClose));
    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuItem));

    int notified = 0;
    auto subscription = assignments.overrides().subscribe([&](const auto&) { ++notified; });
    int writes = defaults.writeCount();
    assignments.pruneOverrides({ "org.example.other" });
    EXPECT_EQ(assignments.overrides().get(),
        (TintraAssignments::Overrides { { kMenuOpen, "org.example.other" }, { kMenuItem, "" } }));
    EXPECT_EQ(defaults.writeCount(), writes + 1);
    EXPECT_EQ(notified, 1);

    writes = defaults.writeCount();
    assignments.pruneOverrides({ "org.example.other" });
    EXPECT_EQ(defaults.writeCount(), writes); // nothing to prune, nothing written
    assignments.pruneOverrides({});
    EXPECT_EQ(assignments.overrides().get(), (TintraAssignments::Overrides { { kMenuItem, "" } }));
}

TEST_F(AssignmentsTest, AMovedCustomFileIsFoundAtTheNextStartAndItsBookmarkRewrittenOnce)
{
    {
        auto assignments = make();
        ASSERT_TRUE(assignments.setCustomSound(folder / "Pop.wav", kMenuOpen));
    }
    fs::create_directories(folder / "moved");
    fs::rename(folder / "Pop.wav", folder / "moved" / "Renamed.wav");
    bookmarks.moveFile(folder / "Pop.wav", folder / "moved" / "Renamed.wav");

    int writes = defaults.writeCount();
    auto assignments = make();
    EXPECT_EQ(assignments.selection(kMenuOpen), TintraSelection::custom(folder / "moved" / "Renamed.wav"));
    EXPECT_EQ(assignments.resolvedURL(kMenuOpen, library), folder / "moved" / "Renamed.wav");
    EXPECT_EQ(defaults.writeCount(), writes + 1);
    const auto* written = stored("TintraCustomSoundBookmarks").asDictionary();
    EXPECT_EQ(*written->at("mnuo").asData(), bytesOf("2:" + (folder / "moved" / "Renamed.wav").string()));

    // The fresh bookmark resolves without a change: nothing more is written.
    writes = defaults.writeCount();
    auto again = make();
    again.refreshCustomSounds();
    EXPECT_EQ(defaults.writeCount(), writes);
}

TEST_F(AssignmentsTest, RefreshFindsFilesMovedWhileRunningAndLeavesLostOnesSilent)
{
    auto assignments = make();
    writeSound(folder / "Gone.wav");
    ASSERT_TRUE(assignments.setCustomSound(folder / "Pop.wav", kMenuOpen));
    ASSERT_TRUE(assignments.setCustomSound(folder / "Gone.wav", kMenuClose));

    fs::rename(folder / "Pop.wav", folder / "Pop2.wav");
    bookmarks.moveFile(folder / "Pop.wav", folder / "Pop2.wav");
    fs::remove(folder / "Gone.wav");
    bookmarks.forget(folder / "Gone.wav");

    int notified = 0;
    auto subscription = assignments.customSounds().subscribe([&](const auto&) { ++notified; });
    const int writes = defaults.writeCount();
    const int resolves = bookmarks.resolveCount();
    assignments.refreshCustomSounds();
    EXPECT_EQ(bookmarks.resolveCount(), resolves + 2); // only the missing files
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(defaults.writeCount(), writes + 1);
    EXPECT_EQ(assignments.resolvedURL(kMenuOpen, library), folder / "Pop2.wav");
    // Deleted for good: still chosen, but silent.
    EXPECT_EQ(assignments.selection(kMenuClose), TintraSelection::custom(folder / "Gone.wav"));
    EXPECT_EQ(assignments.resolvedURL(kMenuClose, library), std::nullopt);
}

TEST_F(AssignmentsTest, StoringTheSameChoiceAgainNotifiesNobody)
{
    auto assignments = make();
    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuOpen));
    assignments.setBaselineIdentifier("org.example.base");
    int notified = 0;
    auto overrides = assignments.overrides().subscribe([&](const auto&) { ++notified; });
    auto customs = assignments.customSounds().subscribe([&](const auto&) { ++notified; });
    auto baseline = assignments.baselineIdentifier().subscribe([&](const auto&) { ++notified; });
    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuOpen));
    assignments.setBaselineIdentifier("org.example.base");
    EXPECT_EQ(notified, 0);
}

TEST_F(AssignmentsTest, KeysOfOtherBytesSurviveARewrite)
{
    defaults.set("TintraSoundSetOverrides", PropertyList::Dictionary { { "\xC3\xA9\xC3\xA9", "a" } });
    auto assignments = make();
    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuOpen));
    EXPECT_EQ(stored("TintraSoundSetOverrides"),
        PropertyList(PropertyList::Dictionary { { "\xC3\xA9\xC3\xA9", "a" }, { "mnuo", "" } }));
}

} // namespace
} // namespace tintra
