#pragma once

#include "engine/RunningApplication.h"

#include <cstdint>
#include <optional>

namespace tintra {

// The running applications of the user's session.
//
// Main thread only. A lookup asks nothing of the application itself and
// returns at once; it cannot fail, only find nothing: an application the
// workspace does not know, or no frontmost application, is simply absent.
class Workspace {
public:
    virtual ~Workspace() = default;

    // This application's own process identifier; fixed for the process.
    virtual std::int32_t hostProcessIdentifier() const = 0;
    // The application with that process id, or nothing when no running
    // application has it (the process quit, or it has no interface).
    virtual std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) const = 0;
    // The application that receives key presses.
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
};

} // namespace tintra
