#pragma once

#include "platform/linux/x11/RandrMonitors.h"
#include "platform/linux/x11/WindowFacts.h"
#include "platform/linux/x11/XcbConnection.h"
#include "silence/SilenceFacts.h"

#include <map>
#include <memory>
#include <optional>

namespace tintra {

// The layer of screen-saver windows, as the probes compare layers; fullscreen
// windows are put there too.
inline constexpr std::int64_t kScreenSaverWindowLevel = 1000;

// The window-server layer an EWMH window counts at: ordinary windows 0, the
// desktop below them, docks, keep-above windows, notifications, menus and
// tooltips in between, fullscreen windows at the screen-saver layer.
std::int64_t windowLayer(const WindowInfo& window);

// The window list of the window server from the EWMH windows (bottom first),
// front to back, minimised windows left out: owner process, layer, bounds
// and alpha.
PropertyList::Array windowListEntries(const std::vector<WindowInfo>& bottomFirst);

// The displays, windows and frontmost application of the X session, from an
// X connection of its own (XRandR monitors, EWMH windows). Main thread only.
// Display identifiers are the monitors' positions in the list + 1. Without
// an X display every fact fails with serviceUnavailable, said once.
class DesktopWindowsX11 {
public:
    DesktopWindowsX11();
    ~DesktopWindowsX11();
    DesktopWindowsX11(const DesktopWindowsX11&) = delete;
    DesktopWindowsX11& operator=(const DesktopWindowsX11&) = delete;

    SilenceFact<std::vector<DisplayID>> activeDisplays() const;
    SilenceFact<Rect> displayBounds(DisplayID display) const;
    SilenceFact<bool> isInMirrorSet(DisplayID display) const;
    SilenceFact<PropertyList::Array> onScreenWindowList() const;
    std::optional<FrontmostApplication> frontmostApplication() const { return frontmost_; }
    // Whether the active window is fullscreen (false when none is active); none without X.
    std::optional<bool> activeWindowIsFullscreen() const;

private:
    const Monitor* monitor(DisplayID display) const;
    void findFrontmost();

    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<WindowFacts> windows_;
    std::unique_ptr<RandrMonitors> monitors_;
    std::optional<FrontmostApplication> frontmost_;
    std::map<pid_t, std::optional<std::filesystem::path>> entries_;
    Subscription activeChanged_;
    Subscription clientListChanged_;
};

} // namespace tintra
