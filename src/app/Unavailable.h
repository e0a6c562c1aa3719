#pragma once

#include "input/InputEvents.h"
#include "input/KeyboardHardware.h"
#include "playback/ScreenGeometry.h"
#include "workspace/DiskArbitration.h"
#include "workspace/Workspace.h"

#include <string>

namespace tintra {

// Stand-ins for a desktop service this session does not offer. Each says
// once, on standard error, what the user goes without, and then answers as
// the port describes a service that cannot be reached.

void reportUnavailable(const std::string& what);

class InputEventsUnavailable final : public InputEvents {
public:
    InputEventsUnavailable() { reportUnavailable("no X11 display, so clicks and key presses are not heard"); }
    std::optional<InputMonitorToken> addGlobalMouseMonitor(MouseEventType, MouseHandler) override { return std::nullopt; }
    std::optional<InputMonitorToken> addGlobalKeyDownMonitor(KeyDownHandler) override { return std::nullopt; }
    void removeMonitor(InputMonitorToken) override {}
};

// Without a keyboard to ask: an ANSI keyboard of no known type.
class KeyboardHardwareUnavailable final : public KeyboardHardware {
public:
    std::int64_t currentKeyboardType() override { return 0; }
    std::uint32_t layoutType(std::uint16_t) override { return 0; }
};

// Without screens, sounds are not panned.
class ScreenGeometryUnavailable final : public ScreenGeometry {
public:
    std::vector<Rect> screenFrames() const override { return {}; }
    Point pointerLocation() const override { return {}; }
};

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
