#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// One line of /proc/self/mountinfo.
struct MountEntry {
    std::filesystem::path mountPoint;
    std::string root;       // the mounted subtree of its file system: "/" unless a bind mount
    std::string device;     // "8:17", the device's major and minor numbers
    std::string fileSystem; // "ext4", "vfat", "fuse.sshfs"
    std::string source;     // "/dev/sdb1", "tmpfs"
    bool readOnly = false;

    bool operator==(const MountEntry&) const = default;
};

// The lines of a mountinfo text, octal escapes (\040 for a space) undone;
// malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// This process's mounts, or none when the table cannot be read.
std::vector<MountEntry> readMountTable();

// A volume the user sees in a file manager: mounted whole (no bind mount) from
// a file system that holds files, below /media, /run/media, /mnt or the home
// folder `home`, or from a removable device; pseudo file systems, the
// system's own mounts and snaps are left out.
bool isUserVolume(const MountEntry& entry, const std::filesystem::path& home);

// Whether the block device ("8:17") or the disk it is a partition of says it
// is removable in sysfs.
bool isRemovableDevice(const std::string& device);

} // namespace tintra
