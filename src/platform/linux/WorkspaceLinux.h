#pragma once

#include "platform/linux/Listeners.h"
#include "workspace/Workspace.h"

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <set>

namespace tintra {

struct MountEntry;
class AccessibilityAtspi;
class LoginSession;
class MountWatch;
class WindowFacts;
class XcbConnection;

// The user's session as the X11 window manager, the accessibility bus and the
// mount table show it. The running applications are the processes with a
// managed window (_NET_WM_PID) or an application on the accessibility bus:
// each named by its desktop entry (desktopEntryOfProcess), in the user's
// locale, else by its accessible application's name, else by its process name;
// regular when it has a normal window or its entry is shown, an accessory with
// other windows only, else prohibited (told once it has stayed without a window
// for windowlessSettling). The frontmost is the process of
// _NET_ACTIVE_WINDOW. Volumes the
// user sees (MountTable's isUserVolume) mounting and unmounting are told as
// they happen; powering off and switching users as logind tells them
// (LoginSession). Main thread only.
//
// Without an X display it says so once on standard error and knows only the
// applications on the accessibility bus; mounts are still told. Without
// logind, the same for its news.
class WorkspaceLinux final : public Workspace {
public:
    static constexpr auto windowlessSettling = std::chrono::seconds(2);

    // Without an accessibility service, the applications with windows only.
    explicit WorkspaceLinux(AccessibilityAtspi* accessibility = nullptr);
    ~WorkspaceLinux() override;
    WorkspaceLinux(const WorkspaceLinux&) = delete;
    WorkspaceLinux& operator=(const WorkspaceLinux&) = delete;

    std::int32_t hostProcessIdentifier() const override { return host_; }
    std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) const override;
    std::optional<RunningApplication> frontmostApplication() const override;
    std::vector<RunningApplication> runningApplications() const override;
    std::optional<std::filesystem::path> urlForApplication(const std::string& bundleIdentifier) const override;
    std::optional<std::filesystem::path> iconForFile(const std::filesystem::path& file) const override;

    Subscription observeRunningApplications(std::function<void()> observer) override;
    Subscription observe(WorkspaceNotification notification, NotificationObserver observer) override;

private:
    void refresh();
    void settleLater();
    void mountsChanged(const std::vector<MountEntry>& before, const std::vector<MountEntry>& after);
    void tell(WorkspaceNotification notification, const VolumeNotification& volume);

    const std::int32_t host_;
    AccessibilityAtspi* accessibility_;
    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<WindowFacts> windows_;
    std::unique_ptr<MountWatch> mounts_;
    std::unique_ptr<LoginSession> login_;
    std::map<pid_t, RunningApplication> applications_;
    std::map<pid_t, std::chrono::steady_clock::time_point> windowlessSince_; // on the bus, not yet told
    unsigned settling_ = 0; // the GLib source that looks at them again
    Listeners<> applicationsChanged_;
    std::map<WorkspaceNotification, Listeners<const VolumeNotification&>> notifications_;
    Subscription clientList_;
    Subscription accessibleApplications_;
    Subscription mountChanges_;
};

} // namespace tintra
