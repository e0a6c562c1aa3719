#include "Cli.h"
#include "fakes/TemporaryFolder.h"
#include "soundsets/ClassicFileWriter.h"

#include <gtest/gtest.h>

#include <fstream>
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

} // namespace
} // namespace tintra::cli
