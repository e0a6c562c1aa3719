#pragma once

#include "engine/AttachTimeout.h"
#include "workspace/RunningApplication.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

class TintraExclusions;

// One row of the list of applications the observation touches: every running
// application with an interface and every excluded one.
struct TintraAfflictedApplication {
    std::optional<std::string> bundleIdentifier;
    std::string name;
    std::optional<std::filesystem::path> fileURL;
    // Absent for an excluded application that is not running.
    std::optional<std::int32_t> processIdentifier;
    std::optional<std::filesystem::path> iconURL;
    bool isExcluded = false;
    std::optional<std::string> defaultExclusionReason;
    bool isObserved = false;
    int registeredNotificationCount = 0;
    std::optional<TintraAttachTimeout> timeout;

    // The bundle identifier, or "pid:" and the process identifier.
    std::string id() const;
    // "Excluded by default, not running", "Not observed", "12 notifications"…
    std::string statusText() const;
    std::string helpText() const;
    // The help of the stopwatch mark; only for a row with a time-out.
    std::optional<std::string> timeoutText() const;

    friend bool operator==(const TintraAfflictedApplication&, const TintraAfflictedApplication&) = default;
};

// Where the workspace finds an application that is not running.
struct InstalledApplication {
    std::filesystem::path fileURL;
    std::optional<std::filesystem::path> iconURL;
};
using FindInstalledApplication
    = std::function<std::optional<InstalledApplication>(std::string_view bundleIdentifier)>;

// The rows in the order the workspace lists the running applications, second
// instances merged into the first, then the excluded applications that are
// not running; sorted by name as a file browser sorts.
std::vector<TintraAfflictedApplication> buildAfflictedApplications(const std::vector<RunningApplication>& running,
    std::int32_t hostProcessIdentifier, const std::map<std::int32_t, int>& registeredNotificationCountByObservedProcess,
    const std::map<std::int32_t, TintraAttachTimeout>& timeouts, const TintraExclusions& exclusions,
    const FindInstalledApplication& findInstalledApplication);

// The line above the list.
std::string afflictedSummary(const std::vector<TintraAfflictedApplication>& rows, bool isRunning);

} // namespace tintra
