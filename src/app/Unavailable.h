#pragma once

#include "workspace/DiskArbitration.h"
#include "workspace/Workspace.h"

#include <string>

namespace tintra {

// Stand-ins for a desktop service this session does not offer. Each says
// once, on standard error, what the user goes without, and then answers as
// the port describes a service that cannot be reached.

void reportUnavailable(const std::string& what);

// Only this program runs, as far as anybody can tell.
class WorkspaceUnavailable final : public Workspace {
public:
    WorkspaceUnavailable();
    std::int32_t hostProcessIdentifier() const override { return host_; }
    std::optional<RunningApplication> runningApplication(std::int32_t) const override { return std::nullopt; }
    std::optional<RunningApplication> frontmostApplication() const override { return std::nullopt; }
    std::vector<RunningApplication> runningApplications() const override { return {}; }
    std::optional<std::filesystem::path> urlForApplication(const std::string&) const override { return std::nullopt; }
    std::optional<std::filesystem::path> iconForFile(const std::filesystem::path&) const override { return std::nullopt; }
    Subscription observeRunningApplications(std::function<void()>) override { return {}; }
    Subscription observe(WorkspaceNotification, NotificationObserver) override { return {}; }

private:
    std::int32_t host_;
};

class DiskArbitrationUnavailable final : public DiskArbitration {
public:
    std::optional<DADiskDescription> copyDescription(const std::filesystem::path&) override { return std::nullopt; }
    std::vector<std::filesystem::path> mountedVolumeURLs() override { return {}; }
};

} // namespace tintra
