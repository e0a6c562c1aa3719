#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tintra {

// Whether an application shows itself: in the task switcher and dock
// (regular), only with its own windows and menus (accessory), or not at all.
enum class ActivationPolicy { regular, accessory, prohibited };

// What the workspace knows of one running application.
struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<std::string> localizedName {};
    std::optional<std::string> bundleIdentifier {};
    std::optional<std::filesystem::path> bundleURL {};
    std::optional<std::filesystem::path> executableURL {};
    // "2.1 (415)", as applicationVersion() makes it from the application's information.
    std::optional<std::string> version {};
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isTerminated = false;
    // The icon file the application's desktop entry names.
    std::optional<std::filesystem::path> iconURL {};

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

} // namespace tintra
