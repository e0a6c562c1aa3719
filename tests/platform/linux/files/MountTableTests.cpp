#include "platform/linux/files/DiskArbitrationLinux.h"
#include "platform/linux/files/MountTable.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

TEST(MountTable, ReadsEachLineWithItsOptionalFieldsAndEscapes)
{
    const auto entries = parseMountInfo(
        "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
        "61 27 8:17 / /media/me/My\\040Stick ro,nosuid shared:33 master:1 - vfat /dev/sdb1 rw,uid=1000\n"
        "not a mount line\n"
        "70 27 8:2 /home/me/shared /srv/share rw - ext4 /dev/sda2 rw\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].mountPoint, "/proc");
    EXPECT_EQ(entries[0].fileSystem, "proc");
    const auto& stick = entries[1];
    EXPECT_EQ(stick.mountPoint, "/media/me/My Stick");
    EXPECT_EQ(stick.device, "8:17");
    EXPECT_EQ(stick.root, "/");
    EXPECT_EQ(stick.fileSystem, "vfat");
    EXPECT_EQ(stick.source, "/dev/sdb1");
    EXPECT_TRUE(stick.readOnly);
    EXPECT_EQ(entries[2].root, "/home/me/shared");
    EXPECT_FALSE(entries[2].readOnly);
}

TEST(MountTable, UserVolumesAreWholeFileSystemsWhereAUserMountsThem)
{
    const std::filesystem::path home = "/home/me";
    const auto volume = [&](const char* mountPoint, const char* type, const char* root = "/") {
        return isUserVolume(MountEntry { mountPoint, root, "0:99", type, "/dev/null-source", false }, home);
    };
    EXPECT_TRUE(volume("/media/me/Stick", "vfat"));
    EXPECT_TRUE(volume("/run/media/me/Disk", "ext4"));
    EXPECT_TRUE(volume("/mnt/backup", "tmpfs"));
    EXPECT_TRUE(volume("/home/me/remote", "fuse.sshfs"));

    EXPECT_FALSE(volume("/media", "ext4")) << "the folder itself is no volume";
    EXPECT_FALSE(volume("/mnt/backup", "ext4", "/srv")) << "a bind mount";
    EXPECT_FALSE(volume("/", "ext4"));
    EXPECT_FALSE(volume("/boot/efi", "vfat"));
    EXPECT_FALSE(volume("/proc", "proc"));
    EXPECT_FALSE(volume("/media/me/x", "proc"));
    EXPECT_FALSE(volume("/run/user/1000/gvfs", "fuse.gvfsd-fuse"));
    EXPECT_FALSE(volume("/home/me/.cache/doc", "fuse.portal"));
    EXPECT_FALSE(volume("/snap/core/123", "squashfs"));
    EXPECT_FALSE(volume("/mediastore/x", "ext4"));
}

TEST(DiskArbitrationLinux, OnlyFullUUIDsAreReadAsUUIDs)
{
    const auto uuid = parseUUID("0f6c3a2e-9b1d-4c5e-8f70-a1b2c3d4e5f6");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->bytes[0], 0x0f);
    EXPECT_EQ(uuid->bytes[4], 0x9b);
    EXPECT_EQ(uuid->bytes[15], 0xf6);
    EXPECT_FALSE(parseUUID("1A2B-3C4D"));
    EXPECT_FALSE(parseUUID("0f6c3a2e-9b1d-4c5e-8f70-a1b2c3d4e5fz"));
    EXPECT_FALSE(parseUUID("0f6c3a2e99b1d-4c5e-8f70-a1b2c3d4e5f6"));
}

} // namespace
} // namespace tintra
