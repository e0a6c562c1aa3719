#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tintra {

// What the workspace says when a volume mounts or unmounts.
struct VolumeNotification {
    std::optional<std::filesystem::path> volumeURL;
    std::optional<std::string> localizedVolumeName;
};

} // namespace tintra
