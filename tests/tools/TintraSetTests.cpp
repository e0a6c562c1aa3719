#include "Cli.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tintra::cli
