#pragma once

#include "input/InputEvents.h"
#include "support/MainExecutor.h"
#include "support/Observable.h"

#include <xcb/xcb.h>

#include <sys/types.h>

#include <map>
#include <memory>

namespace tintra {

class WindowFacts;
class XcbConnection;
class XkbModel;

// Global clicks and key presses from XInput 2.2 raw events on the root window,
// read on an X connection of its own. Raw events carry no position, so each
// one asks the pointer where it is; a left press decides, from the process of
// the window under the pointer, whether the press, its drags and its release
// went to this process (never delivered). Keys go to the process of the active
// window. Raw events carry no auto-repeat: while a key that repeats is held,
// repeats are made at the server's XKB repeat delay and rate. A key's virtual
// code follows the XKB model's layout; the keyboard type is left to
// KeyboardHardware (0). Only the events some monitor needs are selected.
//
// Without a display or without XInput 2.2 it says so once on standard error,
// and every installation fails.
class InputEventsX11 final : public InputEvents {
public:
    explicit InputEventsX11(MainExecutor& executor);
    ~InputEventsX11() override;
    InputEventsX11(const InputEventsX11&) = delete;
    InputEventsX11& operator=(const InputEventsX11&) = delete;

    std::optional<InputMonitorToken> addGlobalMouseMonitor(MouseEventType type, MouseHandler handler) override;
    std::optional<InputMonitorToken> addGlobalKeyDownMonitor(KeyDownHandler handler) override;
    void removeMonitor(InputMonitorToken token) override;

private:
    struct Monitor {
        std::optional<MouseEventType> mouseType; // none: key down
        MouseHandler mouseHandler;
        KeyDownHandler keyDownHandler;
    };

    bool hasMonitor(std::optional<MouseEventType> type) const;
    void select();
    void handle(const xcb_generic_event_t& event);
    void buttonPressed(std::uint32_t button);
    void buttonReleased(std::uint32_t button);
    void pointerMoved();
    void keyPressed(xcb_keycode_t keycode);
    void keyReleased(xcb_keycode_t keycode);
    std::optional<pid_t> processUnder(Point location, xcb_window_t child) const;
    std::optional<pid_t> activeProcess() const;
    void deliver(MouseEventType type, Point location);
    void deliver(const KeyDownEvent& event);
    template <typename Call>
    void forEachMonitor(std::optional<MouseEventType> type, Call call);
    void repeatAfter(Duration delay, xcb_keycode_t keycode, KeyDownEvent event, Duration interval);

    MainExecutor& executor_;
    const pid_t ownProcess_;
    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<WindowFacts> windows_;
    std::unique_ptr<XkbModel> model_;
    std::uint8_t xinputOpcode_ = 0;
    bool hasXkb_ = false;
    xcb_atom_t pidAtom_ = XCB_NONE;
    std::uint32_t selected_ = 0;
    std::map<InputMonitorToken, Monitor> monitors_; // tokens grow: installation order
    InputMonitorToken nextToken_ = 1;
    bool leftHeld_ = false;
    bool pressIsOwn_ = false;
    std::optional<Point> lastDrag_;
    std::optional<xcb_keycode_t> repeating_;
    ScheduledWork repeat_;
    Subscription events_;
};

} // namespace tintra
