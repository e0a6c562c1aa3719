#include "platform/linux/files/LibraryFoldersLinux.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

namespace fs = std::filesystem;

TEST(LibraryFoldersLinux, UserLibraryLivesInTheXDGDataFolder)
{
    const fs::path expected = fs::path("/data") / (TINTRA_MAKER_PREFIX ".TintraDorvel") / "Tintr Sets";
    EXPECT_EQ(libraryDirectory("/data", "/home/ann"), expected);
    const fs::path fallback = fs::path("/home/ann/.local/share") / (TINTRA_MAKER_PREFIX ".TintraDorvel") / "Tintr Sets";
    EXPECT_EQ(libraryDirectory(nullptr, "/home/ann"), fallback);
    EXPECT_EQ(libraryDirectory("", "/home/ann"), fallback);
    EXPECT_EQ(libraryDirectory("relative", "/home/ann"), fallback);
}

TEST(LibraryFoldersLinux, BuiltInSetsComeFromTheBuildTreeWhenRunningThere)
{
    TemporaryFolder folder;
    const auto build = folder / "build";
    const auto installed = folder / "share" / "tintra-dorvel";
    fs::create_directories(build / "resources");
    fs::create_directories(installed);
    EXPECT_EQ(builtInDirectory(build / "bin" / "tintra", build, installed), build / "resources" / "Tintra Sets");
    EXPECT_EQ(builtInDirectory("/usr/bin/tintra", build, installed), installed / "Tintra Sets");
    EXPECT_EQ(builtInDirectory("/usr/bin/tintra", build, folder / "absent"), std::nullopt);
}

} // namespace
} // namespace tintra
