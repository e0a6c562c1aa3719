#pragma once

#include "engine/RunningApplication.h"

#include <cstdint>
#include <optional>

namespace tintra {

// The desktop's list of running applications.
//
// Main thread only. A lookup asks nothing of the application itself and
// returns at once; it cannot fail, only find nothing.
class Workspace {
public:
    virtual ~Workspace() = default;

    // The application with that process id, or nothing when no running
    // application has it (the process quit, or it has no interface).
    virtual std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) const = 0;
};

} // namespace tintra
