#pragma once

#include "platform/linux/Listeners.h"
#include "support/Geometry.h"

#include <xcb/xcb.h>

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace tintra {

class XcbConnection;

// _NET_WM_WINDOW_TYPE, the first type the window names that is known here.
enum class WindowType {
    normal, dialog, utility, toolbar, menu, splash, dock, desktop,
    dropdownMenu, popupMenu, tooltip, notification, combo, dnd, unknown
};

// What the window manager and the client say about one managed window.
struct WindowInfo {
    xcb_window_t window = XCB_NONE;
    std::optional<pid_t> pid;       // _NET_WM_PID
    Rect frame;                     // the client area in root coordinates, origin top-left
    bool hidden = false;            // minimised (_NET_WM_STATE_HIDDEN)
    bool fullscreen = false;
    bool above = false;
    bool maximized = false;         // both directions
    WindowType type = WindowType::normal;
    std::optional<double> opacity;  // 0 … 1, when the client set _NET_WM_WINDOW_OPACITY
    std::string title;              // _NET_WM_NAME, else WM_NAME
    std::string applicationID;      // _GTK_APPLICATION_ID, else _KDE_NET_WM_DESKTOP_FILE
    std::string windowClass;        // the class half of WM_CLASS

    bool operator==(const WindowInfo&) const = default;
};

// A window the window manager does not manage (override-redirect): a menu,
// tooltip or drag icon, while it is shown.
struct PopUpWindow {
    xcb_window_t window = XCB_NONE;
    std::optional<pid_t> pid; // _NET_WM_PID
    WindowType type = WindowType::unknown;
};

// The managed windows of the screen as the EWMH window manager lists them
// (_NET_CLIENT_LIST_STACKING, else _NET_CLIENT_LIST) and the active window,
// kept current from the events of their connection. Main thread only.
// Listeners are told after the facts changed. Without an EWMH window manager
// the list is empty and nothing is active.
class WindowFacts {
public:
    explicit WindowFacts(XcbConnection& connection);
    ~WindowFacts();
    WindowFacts(const WindowFacts&) = delete;
    WindowFacts& operator=(const WindowFacts&) = delete;

    // Bottom first, the topmost last.
    const std::vector<WindowInfo>& windows() const { return windows_; }
    std::optional<WindowInfo> window(xcb_window_t window) const;
    std::optional<xcb_window_t> activeWindow() const { return active_; }
    // The topmost window that is not minimised and whose frame holds the point.
    std::optional<WindowInfo> windowAt(Point point) const;

    // Windows came or went, or the stacking order changed.
    [[nodiscard]] Subscription onClientListChanged(std::function<void()> listener);
    // The active window, none when nothing is active.
    [[nodiscard]] Subscription onActiveWindowChanged(std::function<void(std::optional<xcb_window_t>)> listener);
    // One window's geometry, state, type, opacity or title changed: before and after.
    [[nodiscard]] Subscription onWindowChanged(std::function<void(const WindowInfo&, const WindowInfo&)> listener);
    // A pop-up window was shown (true) or hidden.
    [[nodiscard]] Subscription onPopUp(std::function<void(const PopUpWindow&, bool shown)> listener);

private:
    struct Atoms;
    void handle(const xcb_generic_event_t& event);
    void readClientList();
    void readActiveWindow();
    void reread(xcb_window_t window);
    void popUpMapped(const xcb_map_notify_event_t& notify);
    void popUpUnmapped(xcb_window_t window);
    std::vector<WindowInfo> read(const std::vector<xcb_window_t>& windows) const;

    XcbConnection& connection_;
    std::unique_ptr<Atoms> atoms_;
    std::vector<WindowInfo> windows_;
    std::optional<xcb_window_t> active_;
    Listeners<> clientListChanged_;
    Listeners<std::optional<xcb_window_t>> activeWindowChanged_;
    Listeners<const WindowInfo&, const WindowInfo&> windowChanged_;
    std::vector<PopUpWindow> popUps_; // shown
    Listeners<const PopUpWindow&, bool> popUp_;
    Subscription events_;
};

} // namespace tintra
