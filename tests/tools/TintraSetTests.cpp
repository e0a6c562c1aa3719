#include "Cli.h"
#include "fakes/SoundTypeRegistryFake.h"
#include "fakes/TemporaryFolder.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "soundsets/Bundle.h"
#include "soundsets/ClassicFileWriter.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace tintra::cli {
namespace {

struct Run {
    int status;
    std::string out;
    std::string err;
};

Run run(std::vector<std::string_view> arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = runTintraSet(arguments, out, err);
    return { status, out.str(), err.str() };
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

TEST(TintraSetEvents, ListsEveryListedEventInCatalogueOrder)
{
    const auto result = run({ "events" });
    ASSERT_EQ(result.status, exitSuccess);
    EXPECT_TRUE(result.err.empty());
    const auto table = lines(result.out);
    ASSERT_EQ(table.size(), 1u + 139u);
    EXPECT_EQ(table[0].rfind("CODE", 0), 0u);
    EXPECT_EQ(table[1].rfind("mnuo  MenuOpen.aiff", 0), 0u);
    EXPECT_NE(table[1].find("Menu Open"), std::string::npos);
    EXPECT_NE(table.back().find("Logout.aiff"), std::string::npos);
    EXPECT_NE(table.back().find("centered+singleInstance"), std::string::npos);
    EXPECT_EQ(result.out.find("ApplicationQuit.aiff"), std::string::npos);
    // Columns line up: every row has its file name where the header has it.
    const auto fileColumn = table[0].find("FILE NAME");
    for (std::size_t i = 1; i < table.size(); ++i) {
        EXPECT_EQ(table[i][fileColumn - 1], ' ') << table[i];
        EXPECT_NE(table[i][fileColumn], ' ') << table[i];
    }
}

TEST(TintraSetEvents, FiltersByCategoryInAnyCase)
{
    const auto menus = run({ "events", "--category", "Menu" });
    ASSERT_EQ(menus.status, exitSuccess);
    EXPECT_EQ(lines(menus.out).size(), 1u + 4u);
    const auto finder = run({ "events", "--category=finder" });
    EXPECT_EQ(lines(finder.out).size(), 1u + 13u);
    EXPECT_NE(finder.out.find("DiskInsert.aiff"), std::string::npos);
}

TEST(TintraSetUsage, MistakesAreUsageErrorsWithStatusTwo)
{
    for (const auto& arguments : std::vector<std::vector<std::string_view>> {
             {}, { "play" }, { "--verbose" }, { "events", "--loud" }, { "events", "--category" }, { "events", "--category", "sounds" } }) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, exitUsage);
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(result.err.rfind("tintra-set: ", 0), 0u) << result.err;
    }
    EXPECT_NE(run({ "play" }).err.find("unknown command 'play'"), std::string::npos);
}

TEST(TintraSetUsage, HelpGoesToStandardOutput)
{
    for (const auto& arguments : std::vector<std::vector<std::string_view>> { { "--help" }, { "-h" }, { "events", "--help" } }) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, exitSuccess);
        EXPECT_NE(result.out.find("events [--category NAME]"), std::string::npos);
    }
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(TintraSetInfo, DescribesAClassicFile)
{
    using namespace tintra::testing;
    TemporaryFolder folder;
    const auto file = folder.path() / "Platinum Sounds";
    writeFile(file, {});
    writeFile(folder.path() / "._Platinum Sounds", appleDouble(resourceFork({
        { "snd ", 128, std::nullopt, soundFormat2(standardHeader(Bytes(22254, 0x80), 0x56EE8BA3)) },
        { "snd ", 129, std::nullopt, soundFormat2(compressedHeader("ima4", 1, 64, 0x56EE8BA3, Bytes(34, 0))) },
        { "snd#", 128, std::nullopt, soundList({ { TintraSoundID("mnuo"), { 128 } }, { TintraSoundID("wmov"), { 0, 129 } } }, 20) },
        { "vers", 1, std::nullopt, versionResource("1.0", "\xC2\xA9 1998 Apple") },
    }), 70));
    const auto result = run({ "info", file.c_str() });
    ASSERT_EQ(result.status, exitSuccess) << result.err;
    const auto text = lines(result.out);
    ASSERT_EQ(text.size(), 8u) << result.out;
    EXPECT_EQ(text[0], "Name: Platinum Sounds");
    EXPECT_EQ(text[1], "Version: 1.0");
    EXPECT_EQ(text[2], "Copyright: \xC2\xA9 1998 Apple");
    EXPECT_EQ(text[3], "Container: AppleDouble companion");
    EXPECT_EQ(text[4], "Resource types: 'snd ' 2, 'snd#' 1, 'vers' 1");
    EXPECT_EQ(text[5], "Mapped sounds: 2");
    EXPECT_NE(text[6].find("mnuo  Menu Open"), std::string::npos);
    EXPECT_NE(text[6].find("128  yes: 1 ch, 22254.545 Hz, 22254 frames"), std::string::npos) << text[6];
    EXPECT_NE(text[7].find("wmov  Drag Sound Move Window"), std::string::npos);
    EXPECT_NE(text[7].find("129  no: 'ima4' compression is not supported"), std::string::npos) << text[7];
}

TEST(TintraSetInfo, UnreadableFilesFailWithTheReason)
{
    TemporaryFolder folder;
    const auto file = folder.path() / "notes.txt";
    writeFile(file, { 'h', 'i' });
    const auto result = run({ "info", file.c_str() });
    EXPECT_EQ(result.status, exitFailure);
    EXPECT_TRUE(result.out.empty());
    EXPECT_NE(result.err.find("The file has no readable resource fork"), std::string::npos);
    EXPECT_EQ(run({ "info" }).status, exitUsage);
    EXPECT_EQ(run({ "info", "a", "b" }).status, exitUsage);
}

namespace fs = std::filesystem;
constexpr std::uint32_t rate22k = 0x56EE8BA3;

// Points an environment variable elsewhere for the length of a test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const fs::path& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class TintraSetImport : public ::testing::Test {
protected:
    // Menu Open and Menu Close share one sound; Button Press is IMA 4:1.
    fs::path writePlatinum() const
    {
        const auto file = folder.path() / "Platinum";
        writeFile(file, testing::resourceFork({
            { "snd ", 1, std::nullopt, testing::soundFormat2(testing::standardHeader(Bytes(100, 0x90), rate22k)) },
            { "snd ", 2, std::nullopt, testing::soundFormat2(testing::compressedHeader("ima4", 1, 64, rate22k, Bytes(34, 0))) },
            { "snd#", 128, std::nullopt, testing::soundList({ { TintraSoundID("mnuo"), { 1 } },
                { TintraSoundID("mnuc"), { 1 } }, { TintraSoundID("btnp"), { 2 } } }, 20) },
        }));
        return file;
    }
    fs::path writeReadMe() const
    {
        const auto file = folder.path() / "Read Me";
        writeFile(file, { 'h', 'i' });
        return file;
    }

    TemporaryFolder folder;
    const fs::path into = folder.path() / "Sets";
};

TEST_F(TintraSetImport, IntoAFolderWritesOneBundlePerFileAndReportsEachPath)
{
    const auto result = run({ "import", writePlatinum().c_str(), writeReadMe().c_str(), "--into", into.c_str() });
    EXPECT_EQ(result.status, exitFailure);
    EXPECT_EQ(result.out, "Platinum: 2 events from 1 sounds, 1 skipped\n");
    EXPECT_EQ(result.err, "tintra-set: Read Me has no resource fork, so it is not a classic sound set\n");
    EXPECT_EQ(testing::namesIn(into), std::vector<std::string> { "Platinum.tintraset" });
    const auto bundle = loadBundle(into / "Platinum.tintraset", false, SoundTypeRegistryFake());
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->metadata().identifier, TINTRA_MAKER_PREFIX ".tintraset.imported.platinum");
    EXPECT_EQ(bundle->soundURLsByID().size(), 2u);

    const auto other = folder.path() / "Other";
    EXPECT_EQ(run({ "import", "--into=" + other.string(), writePlatinum().c_str() }).status, exitSuccess);
    EXPECT_EQ(testing::namesIn(other), std::vector<std::string> { "Platinum.tintraset" });
}

TEST_F(TintraSetImport, NeverWritesOverABundleOfTheSameName)
{
    fs::create_directories(into / "Platinum.tintraset");
    testing::writeText(into / "Platinum.tintraset" / "Mine.txt", "mine");
    const auto result = run({ "import", writePlatinum().c_str(), "--into", into.c_str() });
    EXPECT_EQ(result.status, exitFailure);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(result.err, "tintra-set: Platinum.tintraset already exists in " + into.string() + "\n");
    EXPECT_EQ(testing::namesIn(into / "Platinum.tintraset"), std::vector<std::string> { "Mine.txt" });
}

TEST_F(TintraSetImport, WithoutIntoInstallsFilesAndFoldersIntoTheUserLibrary)
{
    const ScopedVariable data("XDG_DATA_HOME", folder.path() / "data");
    const ScopedVariable temporary("TMPDIR", folder.path() / "tmp");
    fs::create_directories(folder.path() / "tmp");
    const auto plain = folder.path() / "My Sounds";
    fs::create_directories(plain);
    testing::writeSound(plain / "WindowClose.wav");

    const auto result = run({ "import", writePlatinum().c_str(), plain.c_str() });
    EXPECT_EQ(result.status, exitSuccess) << result.err;
    EXPECT_EQ(result.out, "Platinum: 2 events from 1 sounds, 1 skipped\nMy Sounds: installed\n");
    const auto library = standardLibraryDirectory();
    ASSERT_EQ(library.parent_path().parent_path(), folder.path() / "data");
    EXPECT_EQ(testing::namesIn(library), (std::vector<std::string> { "My Sounds.tintraset", "Platinum.tintraset" }));
    EXPECT_TRUE(testing::namesIn(folder.path() / "tmp").empty());

    // Installed a second time, each gets a name and an identifier of its own.
    const auto again = run({ "import", writePlatinum().c_str() });
    EXPECT_EQ(again.status, exitSuccess) << again.err;
    EXPECT_EQ(testing::namesIn(library).size(), 3u);
    EXPECT_TRUE(testing::namesIn(folder.path() / "tmp").empty());
}

TEST_F(TintraSetImport, FailuresLeaveNoTemporaryFolders)
{
    const ScopedVariable data("XDG_DATA_HOME", folder.path() / "data");
    const ScopedVariable temporary("TMPDIR", folder.path() / "tmp");
    fs::create_directories(folder.path() / "tmp");
    const auto undecodable = folder.path() / "Hi-Tech";
    writeFile(undecodable, testing::resourceFork({
        { "snd ", 1, "mnuo", testing::soundFormat2(testing::compressedHeader("MAC3", 1, 64, rate22k, Bytes(22, 0))) },
    }));
    const auto result = run({ "import", undecodable.c_str(), (folder.path() / "Missing").c_str() });
    EXPECT_EQ(result.status, exitFailure);
    EXPECT_TRUE(result.out.empty());
    const auto failures = lines(result.err);
    ASSERT_EQ(failures.size(), 2u) << result.err;
    EXPECT_EQ(failures[0], "tintra-set: Nothing in Hi-Tech could be decoded into audio");
    EXPECT_EQ(failures[1].rfind("tintra-set: ", 0), 0u);
    EXPECT_TRUE(testing::namesIn(folder.path() / "tmp").empty());
    EXPECT_TRUE(testing::namesIn(standardLibraryDirectory()).empty());
}

TEST(TintraSetImportUsage, NeedsAPathAndAFolderAfterInto)
{
    for (const auto& arguments : std::vector<std::vector<std::string_view>> {
             { "import" }, { "import", "--into", "Sets" }, { "import", "Platinum", "--into" }, { "import", "-x", "Platinum" } }) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, exitUsage);
        EXPECT_EQ(result.err.rfind("tintra-set: ", 0), 0u) << result.err;
    }
}

TEST(TintraSetInfo, DescribesABundle)
{
    TemporaryFolder folder;
    const auto bundle = folder.path() / "Mine.tintraset";
    testing::writeBundle(bundle, PropertyList::Dictionary {
        { "CFBundleIdentifier", "org.example.mine" }, { "CFBundleName", "Mine" }, { "CFBundleShortVersionString", "2.0" } },
        { "MenuOpen.wav", "menuopen.aiff", "WindowClose.wav", "Applause.wav" });
    const auto result = run({ "info", bundle.c_str() });
    ASSERT_EQ(result.status, exitSuccess) << result.err;
    const auto text = lines(result.out);
    ASSERT_EQ(text.size(), 13u) << result.out;
    EXPECT_EQ(text[0], "Name: Mine");
    EXPECT_EQ(text[1], "Identifier: org.example.mine");
    EXPECT_EQ(text[2], "Version: 2.0");
    EXPECT_EQ(text[3], "Author: -");
    EXPECT_EQ(text[4], "Copyright: -");
    EXPECT_EQ(text[5], "Format version: 1");
    EXPECT_EQ(text[6], "Sounds: 2");
    EXPECT_EQ(text[7].rfind("  mnuo  Menu Open", 0), 0u) << text[7];
    EXPECT_EQ(text[7].substr(text[7].size() - 13), " MenuOpen.wav") << text[7];
    EXPECT_EQ(text[8].rfind("  wcls  Window Close", 0), 0u) << text[8];
    EXPECT_EQ(text[9], "Unmatched files: 1");
    EXPECT_EQ(text[10], "  Applause.wav");
    EXPECT_EQ(text[11], "Collisions: 1");
    EXPECT_EQ(text[12], "  menuopen: menuopen.aiff");

    const auto broken = folder.path() / "Broken.tintraset";
    fs::create_directories(broken);
    const auto failed = run({ "info", broken.c_str() });
    EXPECT_EQ(failed.status, exitFailure);
    EXPECT_NE(failed.err.find("Broken.tintraset"), std::string::npos) << failed.err;
}

} // namespace
} // namespace tintra::cli
