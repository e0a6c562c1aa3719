#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tintra {

// What the workspace knows of one running application.
struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::filesystem::path> bundleURL;
    std::optional<std::filesystem::path> executableURL;
    // "2.1 (415)", as applicationVersion() makes it from the application's information.
    std::optional<std::string> version;

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

} // namespace tintra
