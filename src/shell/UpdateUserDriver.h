#pragma once

#include "shell/Appcast.h"

#include <string>

namespace tintra {

// The updater's windows: what it shows the user, and whether a window of
// ours is in front. Main thread only.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;

    virtual bool isApplicationActive() const = 0;
    // The update window, brought forward, from which the user downloads it.
    virtual void showUpdate(const TintraAppcastItem& update) = 0;
    // The answers to a check the user asked for.
    virtual void showUpToDate() = 0;
    virtual void showUpdateError(const std::string& message) = 0;
};

} // namespace tintra
