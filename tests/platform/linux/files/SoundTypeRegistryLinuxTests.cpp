#include "platform/linux/files/SoundTypeRegistryLinux.h"
#include "soundsets/SoundFile.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tintra {
namespace {

using testing::writeText;

TEST(SoundTypeRegistryLinux, TakesLibsndfileFormatsAndAudioOrVideoGlobs)
{
    TemporaryFolder folder;
    writeText(folder / "user-globs2", "# user\n50:text/plain:*.m4a\n");
    writeText(folder / "globs2",
        "# generated\n"
        "50:audio/mp4:*.m4a\n"
        "50:video/quicktime:*.MOV\n"
        "50:text/plain:*.txt\n"
        "50:audio/x-wav:*.wav\n"
        "50:audio/x-weird:*.w?v\n"
        "50:audio/x-tail:*.tail:cs\n"
        "broken line\n"
        "50:audio/x-nothing:*.\n");
    const SoundTypeRegistryLinux registry({ folder / "user-globs2", folder / "globs2", folder / "missing" });

    EXPECT_TRUE(registry.audioExtensions().contains("flac"));
    EXPECT_TRUE(registry.audioExtensions().contains("aifc"));
    EXPECT_TRUE(isSoundFile("/x/a.WAV", registry));
    EXPECT_TRUE(isSoundFile("/x/a.mov", registry));
    EXPECT_TRUE(isSoundFile("/x/a.tail", registry));
    EXPECT_FALSE(isSoundFile("/x/a.m4a", registry)); // the first file's type wins
    EXPECT_FALSE(isSoundFile("/x/a.txt", registry));
    EXPECT_FALSE(isSoundFile("/x/a.wov", registry));
    EXPECT_EQ(registry.extensionIsAudioOrMovie("unknown"), std::nullopt);

    const auto types = soundContentTypes(registry);
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(types.front(), "audio/*");
    EXPECT_EQ(std::count(types.begin(), types.end(), "audio/x-wav"), 1);
}

TEST(SoundTypeRegistryLinux, StandardGlobFilesFollowTheXDGFolders)
{
    const auto files = SoundTypeRegistryLinux::standardGlobFiles();
    ASSERT_GE(files.size(), 2u);
    for (const auto& file : files)
        EXPECT_EQ(file.filename(), "globs2");
}

} // namespace
} // namespace tintra
