#include "fakes/SoundTypeRegistryFake.h"
#include "soundsets/Library.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::writeBundle;
using testing::writeSound;
using testing::writeText;

constexpr std::string_view kPrefix = TINTRA_MAKER_PREFIX ".tintraset.";

std::vector<std::string> namesOf(const std::vector<TintraBundle>& bundles)
{
    std::vector<std::string> names;
    for (const auto& bundle : bundles)
        names.push_back(bundle.metadata().name);
    return names;
}

class LibraryTest : public ::testing::Test {
protected:
    LibraryTest()
    {
        fs::create_directories(builtIn);
        fs::create_directories(sources);
    }
    TintraLibrary makeLibrary() { return TintraLibrary(user, builtIn, registry); }

    TemporaryFolder folder;
    fs::path user = folder / "data" / "Tintr Sets";
    fs::path builtIn = folder / "Tintra Sets";
    fs::path sources = folder / "sources";
    SoundTypeRegistryFake registry;
};

TEST(IdentifierSlug, KeepsLettersAndDigitsOfAnyScriptAndJoinsTheRestWithDashes)
{
    EXPECT_EQ(identifierSlug("My Sounds!"), "my-sounds");
    EXPECT_EQ(identifierSlug("  Ärger -- Ünd  Straße 9 "), "ärger-ünd-straße-9");
    EXPECT_EQ(identifierSlug("日本 語"), "日本-語");
    EXPECT_EQ(identifierSlug("!!! ..."), "set");
    EXPECT_EQ(identifierSlug(""), "set");
}

TEST_F(LibraryTest, AMissingUserFolderGivesAnEmptyUserPartWithoutFailure)
{
    writeBundle(builtIn / "Classic.tintraset", "org.example.classic", "Classic", { "MenuOpen.aiff" });
    auto library = makeLibrary();
    ASSERT_EQ(library.bundles().get().size(), 1u);
    EXPECT_TRUE(library.bundles().get()[0].isBuiltIn());
    EXPECT_TRUE(library.loadFailures().get().empty());
    EXPECT_FALSE(fs::exists(user)); // reading never creates it
}

TEST_F(LibraryTest, OrdersByDisplayNameAcrossFoldersWithNumbersComparedAsNumbers)
{
    fs::create_directories(user);
    writeBundle(user / "a.tintraset", "org.example.ten", "Set 10");
    writeBundle(user / "b.tintraset", "org.example.two", "Set 2");
    writeBundle(builtIn / "c.tintraset", "org.example.apple", "apple");
    writeBundle(builtIn / "d.tintraset", "org.example.banana", "Banana");
    writeText(user / "notes.txt", "");
    auto library = makeLibrary();
    EXPECT_EQ(namesOf(library.bundles()), (std::vector<std::string> { "apple", "Banana", "Set 2", "Set 10" }));
}

TEST_F(LibraryTest, DuplicateIdentifiersKeepTheFirstAndTheUserSetHidesTheBuiltInOne)
{
    fs::create_directories(user);
    writeBundle(user / "A.tintraset", "org.example.same", "User A");
    writeBundle(user / "B.tintraset", "org.example.same", "User B");
    writeBundle(builtIn / "Classic.tintraset", "org.example.same", "Built-in");
    writeBundle(builtIn / "Broken.tintraset", "", "Broken");

    int notified = 0;
    auto library = makeLibrary();
    auto subscription = library.bundles().subscribe([&](const auto&) { ++notified; });
    ASSERT_EQ(namesOf(library.bundles()), std::vector<std::string> { "User A" });
    EXPECT_FALSE(library.bundles().get()[0].isBuiltIn());
    EXPECT_EQ(library.loadFailures().get(), (std::vector<std::string> {
                                                "B.tintraset was skipped: org.example.same is already installed",
                                                "Broken.tintraset declares no CFBundleIdentifier",
                                                "Classic.tintraset was skipped: org.example.same is already installed",
                                            }));
    EXPECT_EQ(library.bundle(std::string("org.example.same"))->url(), user / "A.tintraset");
    EXPECT_EQ(library.bundle(std::nullopt), nullptr);

    library.reload(); // nothing changed on disk
    EXPECT_EQ(notified, 0);
}

TEST_F(LibraryTest, InstallingAPlainFolderTwiceGivesNumberedFoldersAndIdentifiers)
{
    const auto chimes = sources / "Chimes";
    fs::create_directories(chimes);
    writeSound(chimes / "MenuOpen.aiff");
    writeSound(chimes / "Other.wav");
    writeText(chimes / "Readme.txt", "hello");
    writeSound(chimes / ".hidden.wav");

    auto library = makeLibrary();
    const auto first = library.install(chimes);
    ASSERT_TRUE(first) << first.error().description();
    const auto second = library.install(chimes);
    ASSERT_TRUE(second) << second.error().description();

    ASSERT_TRUE(*first && *second);
    EXPECT_EQ((*first)->url(), user / "Chimes.tintraset");
    EXPECT_EQ((*first)->metadata().identifier, std::string(kPrefix) + "chimes");
    EXPECT_EQ((*second)->url(), user / "Chimes 2.tintraset");
    EXPECT_EQ((*second)->metadata().identifier, std::string(kPrefix) + "chimes-2");
    EXPECT_EQ(library.bundles().get().size(), 2u);
    EXPECT_EQ(namesIn(user / "Chimes.tintraset" / "Contents" / "Resources"),
        (std::vector<std::string> { "MenuOpen.aiff", "Other.wav" }));
    EXPECT_EQ((*first)->unmatchedResourceNames(), std::vector<std::string> { "Other.wav" });
}

TEST_F(LibraryTest, APlainFolderWithoutAudioFailsAndLeavesNothingBehind)
{
    const auto notes = sources / "Notes";
    fs::create_directories(notes);
    writeText(notes / "a.txt", "");
    fs::create_directories(notes / "folder.wav");
    auto library = makeLibrary();
    const auto installed = library.install(notes);
    ASSERT_FALSE(installed);
    EXPECT_EQ(installed.error().description(), "Notes contains no audio libsndfile can open");
    EXPECT_TRUE(namesIn(user).empty());
}

TEST_F(LibraryTest, ACopiedBundleKeepsAFreeIdentifierAndGetsANewOneForATakenOne)
{
    fs::create_directories(user);
    writeBundle(user / "Installed.tintraset", "org.example.taken", "Installed");
    writeBundle(sources / "Fresh.tintraset", "org.example.fresh", "Fresh", { "MenuOpen.aiff" });
    writeBundle(sources / "Clash.tintraset",
        PropertyList::Dictionary { { "CFBundleIdentifier", "org.example.taken" }, { "Extra", 7 } }, { "MenuOpen.aiff" });

    auto library = makeLibrary();
    const auto fresh = library.install(sources / "Fresh.tintraset");
    ASSERT_TRUE(fresh && *fresh);
    EXPECT_EQ((*fresh)->metadata().identifier, "org.example.fresh");
    EXPECT_EQ((*fresh)->url(), user / "Fresh.tintraset");

    const auto clash = library.install(sources / "Clash.tintraset");
    ASSERT_TRUE(clash && *clash) << (clash ? "" : clash.error().description());
    EXPECT_EQ((*clash)->metadata().identifier, std::string(kPrefix) + "clash");
    EXPECT_EQ((*clash)->metadata().name, "Clash"); // the absent name is filled in
    const auto info = readInfoDictionary((*clash)->url());
    EXPECT_EQ(info->at("Extra"), PropertyList(7)); // other keys kept
    EXPECT_TRUE((*clash)->contains(TintraSoundID("mnuo")));
    EXPECT_TRUE(library.loadFailures().get().empty());
}

TEST_F(LibraryTest, ACopiedBundleWithADamagedPropertyListGetsAFreshOne)
{
    writeBundle(sources / "Damaged.tintraset", "x", "x", { "MenuOpen.aiff" });
    writeText(sources / "Damaged.tintraset" / "Contents" / "Info.plist", "garbage");
    auto library = makeLibrary();
    const auto installed = library.install(sources / "Damaged.tintraset");
    ASSERT_TRUE(installed && *installed);
    EXPECT_EQ((*installed)->metadata(),
        (TintraBundleMetadata { std::string(kPrefix) + "damaged", "Damaged", {}, {}, {}, 1 }));
    EXPECT_EQ(testing::contentsOf(sources / "Damaged.tintraset" / "Contents" / "Info.plist"), "garbage");
}

TEST_F(LibraryTest, CopyingABundleNeverFollowsLinksOutOfItNorIntoItself)
{
    const auto bundle = sources / "Linked.tintraset";
    writeBundle(bundle, "org.example.linked", "Linked", { "MenuOpen.aiff" });
    fs::create_directory_symlink("..", bundle / "Contents" / "Resources" / "Up");
    fs::create_symlink("/dev/zero", bundle / "Contents" / "Resources" / "Zero.wav");
    auto library = makeLibrary();
    const auto installed = library.install(bundle);
    ASSERT_TRUE(installed && *installed);
    EXPECT_EQ(namesIn((*installed)->url() / "Contents" / "Resources"), std::vector<std::string> { "MenuOpen.aiff" });

    // A folder holding the library itself is refused instead of copied into itself.
    writeBundle(user / "Inner.tintraset", "org.example.inner", "Inner");
    fs::create_directories(user / "Contents" / "Resources");
    const auto recursive = library.install(user);
    ASSERT_FALSE(recursive);
    EXPECT_EQ(recursive.error().description(), "Could not copy Tintr Sets: Invalid argument");
}

TEST_F(LibraryTest, UniqueNamesSkipEverythingThatExists)
{
    auto library = makeLibrary();
    EXPECT_EQ(library.uniqueBundleURL(""), user / "Sound Set.tintraset");
    ASSERT_TRUE(library.ensureDirectory());
    writeText(user / "Sound Set.tintraset", "");
    fs::create_symlink("nowhere", user / "Sound Set 2.tintraset");
    EXPECT_EQ(library.uniqueBundleURL(""), user / "Sound Set 3.tintraset");
    EXPECT_EQ(library.uniqueIdentifier("!!"), std::string(kPrefix) + "set");
}

TEST_F(LibraryTest, ALibraryFolderThatCannotBeMadeEndsTheInstall)
{
    writeText(folder / "data", "a file where a folder belongs");
    auto library = makeLibrary();
    const auto created = library.ensureDirectory();
    ASSERT_FALSE(created);
    EXPECT_EQ(created.error().description(), "Could not create " + user.string() + ": Not a directory");
    fs::create_directories(sources / "Chimes");
    writeSound(sources / "Chimes" / "MenuOpen.aiff");
    EXPECT_FALSE(library.install(sources / "Chimes"));
}

} // namespace
} // namespace tintra
