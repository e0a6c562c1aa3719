#pragma once

#include "workspace/DiskArbitration.h"

#include <optional>
#include <string_view>

namespace tintra {

// "0f6c…-…" as a UUID's 16 bytes; nothing for any other text (a FAT serial
// such as "1A2B-3C4D" among them).
std::optional<DAUUID> parseUUID(std::string_view text);

// The disks of the user's volumes from the mount table, statvfs, sysfs and
// udev's properties (label, UUIDs, vendor, model, bus). Where udev's database
// is missing (a container without udevd) the description holds what the
// other sources know. Main thread only; never fails, only knows nothing.
class DiskArbitrationLinux final : public DiskArbitration {
public:
    DiskArbitrationLinux();
    ~DiskArbitrationLinux() override;
    DiskArbitrationLinux(const DiskArbitrationLinux&) = delete;
    DiskArbitrationLinux& operator=(const DiskArbitrationLinux&) = delete;

    std::optional<DADiskDescription> copyDescription(const std::filesystem::path& volumeURL) override;
    std::vector<std::filesystem::path> mountedVolumeURLs() override;

private:
    struct Udev;
    std::unique_ptr<Udev> udev_;
};

} // namespace tintra
