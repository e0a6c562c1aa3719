#include "platform/linux/files/ReadOnlyVolumes.h"

#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <array>

namespace tintra {

namespace {

// The f_type magic numbers of linux/magic.h.
constexpr std::array<unsigned long, 5> imageFileSystems {
    0x73717368, // squashfs
    0x9660,     // ISO 9660
    0x15013346, // UDF
    0xE0F5E1E2, // EROFS
    0x65735546, // FUSE
};

} // namespace

bool liesOnReadOnlyVolume(const std::filesystem::path& path)
{
    struct statvfs volume {};
    return ::statvfs(path.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
}

bool liesOnReadOnlyImage(const std::filesystem::path& path)
{
    struct statfs fileSystem {};
    if (!liesOnReadOnlyVolume(path) || ::statfs(path.c_str(), &fileSystem) != 0)
        return false;
    for (const auto magic : imageFileSystems)
        if (static_cast<unsigned long>(fileSystem.f_type) == magic)
            return true;
    return false;
}

} // namespace tintra
