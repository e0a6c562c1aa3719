#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tintra {

// One running application as the workspace knows it.
struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundleIdentifier; // on Linux the desktop-entry ID
    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

// The running applications of the user's session.
//
// Main thread only. Every answer is the state at the moment of the call and
// never fails: an application the workspace does not know, or no frontmost
// application, is simply absent.
class Workspace {
public:
    virtual ~Workspace() = default;

    // This application's own process identifier; fixed for the process.
    virtual std::int32_t hostProcessIdentifier() const = 0;
    virtual std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) = 0;
    // The application that receives key presses.
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
};

} // namespace tintra
