#pragma once

#include "workspace/Workspace.h"

#include <map>
#include <memory>
#include <vector>

namespace tintra {

// Running applications in memory, in launch order. Launching and quitting
// tell the running-application observers at once; the test posts the other
// notifications. Counts lookups so that tests can see caches work.
class WorkspaceFake final : public Workspace {
public:
    explicit WorkspaceFake(std::int32_t hostProcessIdentifier = 1) : host_(hostProcessIdentifier) {}

    // A second launch of a process id replaces the first in place.
    void launch(RunningApplication application);
    void quit(std::int32_t processIdentifier);
    // The application stays listed but has terminated; observers are not told.
    void terminate(std::int32_t processIdentifier);
    // Nothing in front when absent; only a launched application can be in front.
    void setFrontmost(std::optional<std::int32_t> processIdentifier) { frontmost_ = processIdentifier; }
    // An application that can be found without running; its icon, when given, is the desktop's for the file.
    void install(const std::string& bundleIdentifier, std::filesystem::path url,
        std::optional<std::filesystem::path> icon = std::nullopt);
    void post(WorkspaceNotification notification, VolumeNotification volume = {});

    int lookupCount() const { return lookups_; }
    // Live subscriptions of every kind.
    std::size_t observerCount() const;

    std::int32_t hostProcessIdentifier() const override { return host_; }
    std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) const override;
    std::optional<RunningApplication> frontmostApplication() const override;
    std::vector<RunningApplication> runningApplications() const override { return running_; }
    std::optional<std::filesystem::path> urlForApplication(const std::string& bundleIdentifier) const override;
    std::optional<std::filesystem::path> iconForFile(const std::filesystem::path& file) const override;
    Subscription observeRunningApplications(std::function<void()> observer) override;
    Subscription observe(WorkspaceNotification notification, NotificationObserver observer) override;

private:
    using Observer = std::function<void(WorkspaceNotification, const VolumeNotification&)>;

    std::vector<RunningApplication>::iterator find(std::int32_t processIdentifier);
    std::vector<RunningApplication>::const_iterator find(std::int32_t processIdentifier) const;
    void runningApplicationsChanged();

    std::int32_t host_;
    std::vector<RunningApplication> running_;
    std::optional<std::int32_t> frontmost_;
    std::map<std::string, std::filesystem::path> installed_;
    std::map<std::filesystem::path, std::filesystem::path> icons_;
    std::vector<std::weak_ptr<std::function<void()>>> runningObservers_;
    std::vector<std::pair<WorkspaceNotification, std::weak_ptr<NotificationObserver>>> notificationObservers_;
    mutable int lookups_ = 0;
};

} // namespace tintra
