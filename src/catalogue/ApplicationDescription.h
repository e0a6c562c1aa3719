#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tintra {

struct TintraApplicationDescription {
    std::optional<std::string> bundleIdentifier;
    // The application's bundle, or its executable when it has no bundle.
    std::optional<std::filesystem::path> fileURL;
    std::optional<std::string> version;

    friend bool operator==(const TintraApplicationDescription&, const TintraApplicationDescription&) = default;
};

class BundleInfo;

// Describes a running application from what the workspace knows of it.
TintraApplicationDescription describeApplication(std::optional<std::string> bundleIdentifier,
    const std::optional<std::filesystem::path>& bundleURL, const std::optional<std::filesystem::path>& executableURL,
    const BundleInfo& bundleInfo);

// "2.1 (415)" when the short version and the build differ, one of them when
// they are equal or only one is known, nothing when neither is.
std::optional<std::string> applicationVersion(const std::optional<std::string>& shortVersion,
    const std::optional<std::string>& buildVersion);

} // namespace tintra
