#pragma once

#include "workspace/RunningApplication.h"
#include "workspace/VolumeNotification.h"
#include "support/Observable.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// The session events the controller sounds or follows.
enum class WorkspaceNotification {
    didMount,
    didUnmount,
    willPowerOff, // logging out, restarting or shutting down
    sessionDidResignActive, // switched away from this user
    sessionDidBecomeActive, // switched back to this user
};

// The running applications of the user's session, and its notifications.
//
// Main thread only. A lookup asks nothing of the application itself and
// returns at once; it cannot fail, only find nothing: an application the
// workspace does not know, or no frontmost application, is simply absent.
// Observers are called on the main thread until their subscription is dropped.
class Workspace {
public:
    using NotificationObserver = std::function<void(const VolumeNotification&)>;

    virtual ~Workspace() = default;

    // This application's own process identifier; fixed for the process.
    virtual std::int32_t hostProcessIdentifier() const = 0;
    // The application with that process id, or nothing when no running
    // application has it (the process quit, or it has no interface).
    virtual std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) const = 0;
    // The application that receives key presses.
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    // Every running application, in the workspace's own order.
    virtual std::vector<RunningApplication> runningApplications() const = 0;
    // Where an installed application with that bundle identifier lives.
    virtual std::optional<std::filesystem::path> urlForApplication(const std::string& bundleIdentifier) const = 0;
    // The icon file the desktop shows for an application file.
    virtual std::optional<std::filesystem::path> iconForFile(const std::filesystem::path& file) const = 0;

    // Told after the list of running applications changed.
    [[nodiscard]] virtual Subscription observeRunningApplications(std::function<void()> observer) = 0;
    // The volume is given for didMount and didUnmount only.
    [[nodiscard]] virtual Subscription observe(WorkspaceNotification notification, NotificationObserver observer) = 0;
};

} // namespace tintra
