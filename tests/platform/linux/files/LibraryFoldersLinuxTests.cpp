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

TEST(LibraryFoldersLinux, TheProgramsDataIsInTheBuildTreeWhenRunningThereElseBesideItsPrefix)
{
    TemporaryFolder folder;
    const auto build = folder / "build";
    const auto prefix = folder / "prefix";
    fs::create_directories(build / "resources");
    fs::create_directories(prefix / "share" / "tintra-dorvel");
    EXPECT_EQ(programDataDirectory(build / "bin" / "tintra", build), build / "resources");
    EXPECT_EQ(programDataDirectory(prefix / "bin" / "tintra", build), prefix / "share" / "tintra-dorvel");
    EXPECT_EQ(programDataDirectory(folder / "elsewhere" / "bin" / "tintra", build), std::nullopt);
}

} // namespace
} // namespace tintra
