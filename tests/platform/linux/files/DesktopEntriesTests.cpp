#include "platform/linux/files/DesktopEntries.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace tintra {
namespace {

std::string typeOf(const PropertyList::Dictionary& types, const char* key)
{
    const auto found = types.find(key);
    return found == types.end() ? "" : *found->second.asString();
}

TEST(DesktopEntries, GamesAreGamesWhateverElseTheyAreAndTheirKindIsTheSecondaryType)
{
    const auto arcade = categoryTypes("Utility;Game;ArcadeGame;");
    EXPECT_EQ(typeOf(arcade, "LSApplicationCategoryType"), "public.app-category.games");
    EXPECT_EQ(typeOf(arcade, "LSApplicationSecondaryCategoryType"), "public.app-category.arcade-games");
    const auto plain = categoryTypes("Game");
    EXPECT_EQ(typeOf(plain, "LSApplicationCategoryType"), "public.app-category.games");
    EXPECT_FALSE(plain.contains("LSApplicationSecondaryCategoryType"));
    // Only the whole word counts: a "GameTool" or a kind of game without "Game" is no game.
    EXPECT_EQ(typeOf(categoryTypes("Development;GameTool;"), "LSApplicationCategoryType"), "public.app-category.developer-tools");
    EXPECT_TRUE(categoryTypes("ArcadeGame;").empty());
    EXPECT_TRUE(categoryTypes("").empty());
    EXPECT_TRUE(categoryTypes(";;").empty());
}

TEST(DesktopEntries, InformationComesFromTheEntryAndAProcessFindsTheEntryGioLaunchedItFrom)
{
    TemporaryFolder folder;
    const auto entry = folder / "org.example.Blocks.desktop";
    std::ofstream(entry) << "[Desktop Entry]\nType=Application\nName=Blocks\nExec=sh\nCategories=Game;BlocksGame;\n";
    const auto information = applicationInformation(entry);
    ASSERT_TRUE(information);
    EXPECT_EQ(*information->at("CFBundleName").asString(), "Blocks");
    EXPECT_EQ(*information->at("CFBundleIdentifier").asString(), "org.example.Blocks");
    EXPECT_EQ(typeOf(*information, "LSApplicationSecondaryCategoryType"), "public.app-category.puzzle-games");
    EXPECT_FALSE(applicationInformation(folder / "missing.desktop"));

    // GIO names the entry and the process it launched; a child that inherited both is not that process.
    const auto launched = [&](const std::string& launchedPid) {
        const std::string script = "GIO_LAUNCHED_DESKTOP_FILE_PID=" + launchedPid + " exec sleep 30";
        const std::string file = "GIO_LAUNCHED_DESKTOP_FILE=" + entry.string();
        char* arguments[] = { const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(script.c_str()), nullptr };
        char* environment[] = { const_cast<char*>(file.c_str()), nullptr };
        pid_t child = 0;
        EXPECT_EQ(posix_spawn(&child, "/bin/sh", nullptr, nullptr, arguments, environment), 0);
        // The shell has become sleep once the environment it gave sleep shows. Its new name
        // shows a moment before its new environment does.
        for (int attempt = 0; attempt < 1000; ++attempt) {
            std::ifstream environ("/proc/" + std::to_string(child) + "/environ");
            const std::string variables { std::istreambuf_iterator<char>(environ), {} };
            if (variables.find("GIO_LAUNCHED_DESKTOP_FILE_PID=") != std::string::npos)
                break;
            usleep(10000);
        }
        const auto found = desktopEntryOfProcess(child);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return found;
    };
    EXPECT_EQ(launched("$$"), entry);
    EXPECT_EQ(launched("1"), std::nullopt);
    EXPECT_EQ(desktopEntryOfProcess(0), std::nullopt);
    EXPECT_EQ(desktopEntryOfProcess(-1), std::nullopt);
}

} // namespace
} // namespace tintra
