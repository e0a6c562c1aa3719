#include "fakes/DefaultsMemory.h"
#include "fakes/ManualClock.h"
#include "fakes/SoundTypeRegistryFake.h"
#include "platform/linux/files/FileBookmarksLinux.h"
#include "soundsets/Assignments.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using testing::writeSound;
using testing::writeText;

class FileBookmarksLinuxTest : public ::testing::Test {
protected:
    FileBookmarksLinuxTest()
    {
        fs::create_directories(home / "Music" / "Sounds");
        fs::create_directories(home / "Documents");
        writeSound(original);
    }

    Bytes bookmark()
    {
        auto made = bookmarks.create(original);
        EXPECT_TRUE(made);
        return made.value_or(Bytes {});
    }

    TemporaryFolder folder;
    fs::path home = folder / "home";
    fs::path original = home / "Music" / "Sounds" / "Pop.wav";
    ManualClock clock;
    FileBookmarksLinux bookmarks { home, clock };
};

TEST_F(FileBookmarksLinuxTest, AFileStillInPlaceResolvesFresh)
{
    const auto bytes = bookmark();
    const auto resolved = bookmarks.resolve(bytes);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->url, original);
    EXPECT_FALSE(resolved->isStale);
    EXPECT_EQ(bookmarks.recordedPath(bytes), original);
}

TEST_F(FileBookmarksLinuxTest, ARenamedOrMovedFileIsFoundNearbyOrInTheHomeFolder)
{
    const auto bytes = bookmark();
    fs::rename(original, home / "Music" / "Sounds" / "Renamed.wav");
    auto resolved = bookmarks.resolve(bytes);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->url, home / "Music" / "Sounds" / "Renamed.wav");
    EXPECT_TRUE(resolved->isStale);

    fs::create_directories(home / "Music" / "Other");
    fs::rename(home / "Music" / "Sounds" / "Renamed.wav", home / "Music" / "Other" / "Sibling.wav");
    resolved = bookmarks.resolve(bytes);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->url, home / "Music" / "Other" / "Sibling.wav");

    fs::create_directories(home / "Documents" / "a" / "b");
    fs::rename(home / "Music" / "Other" / "Sibling.wav", home / "Documents" / "a" / "b" / "Far.wav");
    resolved = bookmarks.resolve(bytes);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->url, home / "Documents" / "a" / "b" / "Far.wav");
    EXPECT_EQ(bookmarks.recordedPath(bytes), original);
}

TEST_F(FileBookmarksLinuxTest, HiddenFoldersAreNotSearchedAndALostFileDoesNotResolve)
{
    const auto bytes = bookmark();
    fs::create_directories(home / ".cache");
    fs::rename(original, home / ".cache" / "Pop.wav");
    EXPECT_FALSE(bookmarks.resolve(bytes));
    EXPECT_EQ(bookmarks.recordedPath(bytes), original);
}

TEST_F(FileBookmarksLinuxTest, AFileReplacedInPlaceResolvesStaleAtItsPath)
{
    const auto bytes = bookmark();
    fs::remove(original);
    writeSound(original, 64);
    const auto resolved = bookmarks.resolve(bytes);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->url, original);
    EXPECT_TRUE(resolved->isStale);
}

TEST_F(FileBookmarksLinuxTest, TheSearchStopsWhenItsTimeIsUp)
{
    FileBookmarksLinux hurried(home, clock, Duration::zero());
    const auto bytes = hurried.create(original).value();
    fs::rename(original, home / "Music" / "Sounds" / "Renamed.wav");
    EXPECT_FALSE(hurried.resolve(bytes));
}

TEST_F(FileBookmarksLinuxTest, BytesThatAreNoBookmarkResolveToNothing)
{
    auto bytes = bookmark();
    EXPECT_FALSE(bookmarks.resolve(Bytes {}));
    EXPECT_FALSE(bookmarks.recordedPath(Bytes { 'T', 'D', 'B', 'K' }));
    Bytes truncated(bytes.begin(), bytes.end() - 1);
    EXPECT_FALSE(bookmarks.resolve(truncated));
    EXPECT_FALSE(bookmarks.recordedPath(truncated));
    bytes[4] = 99; // an unknown version
    EXPECT_FALSE(bookmarks.recordedPath(bytes));
    EXPECT_FALSE(bookmarks.create(home / "missing.wav"));
}

TEST_F(FileBookmarksLinuxTest, AssignmentsFindAMovedCustomSoundAndRewriteItsBookmarkOnce)
{
    DefaultsMemory defaults;
    SoundTypeRegistryFake registry;
    {
        TintraAssignments assignments(defaults, bookmarks, registry);
        ASSERT_TRUE(assignments.setCustomSound(original, TintraSoundID("mnuo")));
    }
    fs::rename(original, home / "Documents" / "Moved.wav");

    int writes = defaults.writeCount();
    TintraAssignments restarted(defaults, bookmarks, registry);
    EXPECT_EQ(restarted.selection(TintraSoundID("mnuo")), TintraSelection::custom(home / "Documents" / "Moved.wav"));
    EXPECT_EQ(defaults.writeCount(), writes + 1);

    writes = defaults.writeCount();
    TintraAssignments again(defaults, bookmarks, registry);
    EXPECT_EQ(again.selection(TintraSoundID("mnuo")), TintraSelection::custom(home / "Documents" / "Moved.wav"));
    EXPECT_EQ(defaults.writeCount(), writes);
}

} // namespace
} // namespace tintra
