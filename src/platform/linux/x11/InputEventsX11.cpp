#include "platform/linux/x11/InputEventsX11.h"

#include "platform/linux/x11/VirtualKeyCodes.h"
#include "platform/linux/x11/WindowFacts.h"
#include "platform/linux/x11/WindowProperty.h"
#include "platform/linux/x11/XcbConnection.h"
#include "platform/linux/x11/XkbModel.h"
#include "support/MainThread.h"

#include <xcb/xinput.h>
// The XKB header names a field `explicit`, which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <vector>

namespace tintra {

namespace {

constexpr std::uint32_t keyEvents = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
constexpr std::uint32_t buttonEvents = XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE;
constexpr std::uint32_t leftButton = 1;

// Buttons 4 to 7 are the wheel's steps, not presses.
bool isWheel(std::uint32_t button)
{
    return button >= 4 && button <= 7;
}

bool hasXInput22(XcbConnection& connection)
{
    auto* xcb = connection.get();
    if (!connection.majorOpcode(xcb_input_id))
        return false;
    const auto version = xcbReply(xcb, xcb_input_xi_query_version(xcb, 2, 2), &xcb_input_xi_query_version_reply);
    return version && (version->major_version > 2 || (version->major_version == 2 && version->minor_version >= 2));
}

bool hasXkb(XcbConnection& connection)
{
    auto* xcb = connection.get();
    if (!connection.majorOpcode(xcb_xkb_id))
        return false;
    const auto used = xcbReply(xcb, xcb_xkb_use_extension(xcb, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        &xcb_xkb_use_extension_reply);
    return used && used->supported;
}

} // namespace

InputEventsX11::InputEventsX11(MainExecutor& executor)
    : executor_(executor)
    , ownProcess_(getpid())
    , connection_(XcbConnection::openOrReport("clicks and key presses are not heard"))
{
    if (!connection_)
        return;
    if (!hasXInput22(*connection_)) {
        std::cerr << "Tintra Dorvel: the X server has no XInput 2.2, so clicks and key presses are not heard." << std::endl;
        connection_.reset();
        return;
    }
    xinputOpcode_ = *connection_->majorOpcode(xcb_input_id);
    hasXkb_ = hasXkb(*connection_);
    pidAtom_ = connection_->atom("_NET_WM_PID");
    windows_ = std::make_unique<WindowFacts>(*connection_);
    model_ = std::make_unique<XkbModel>(*connection_);
    events_ = connection_->onEvent([this](const xcb_generic_event_t& event) { handle(event); });
}

InputEventsX11::~InputEventsX11()
{
    repeat_.cancel();
}

std::optional<InputMonitorToken> InputEventsX11::addGlobalMouseMonitor(MouseEventType type, MouseHandler handler)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!connection_)
        return std::nullopt;
    const auto token = nextToken_++;
    monitors_.emplace(token, Monitor { type, std::move(handler), {} });
    select();
    return token;
}

std::optional<InputMonitorToken> InputEventsX11::addGlobalKeyDownMonitor(KeyDownHandler handler)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!connection_)
        return std::nullopt;
    const auto token = nextToken_++;
    monitors_.emplace(token, Monitor { std::nullopt, {}, std::move(handler) });
    select();
    return token;
}

void InputEventsX11::removeMonitor(InputMonitorToken token)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (monitors_.erase(token) == 0)
        return;
    if (!hasMonitor(std::nullopt)) {
        repeat_.cancel();
        repeating_.reset();
    }
    select();
}

bool InputEventsX11::hasMonitor(std::optional<MouseEventType> type) const
{
    for (const auto& [token, monitor] : monitors_) {
        if (monitor.mouseType == type)
            return true;
    }
    return false;
}

void InputEventsX11::select()
{
    std::uint32_t wanted = 0;
    if (hasMonitor(std::nullopt))
        wanted |= keyEvents;
    const bool anyMouse = std::any_of(monitors_.begin(), monitors_.end(), [](const auto& entry) { return entry.second.mouseType.has_value(); });
    if (anyMouse)
        wanted |= buttonEvents;
    // Motion floods the connection, so it is asked only while a drag is followed.
    if (leftHeld_ && !pressIsOwn_ && hasMonitor(MouseEventType::leftMouseDragged))
        wanted |= XCB_INPUT_XI_EVENT_MASK_RAW_MOTION;
    if (wanted == selected_)
        return;
    selected_ = wanted;
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask { { XCB_INPUT_DEVICE_ALL_MASTER, 1 }, wanted };
    xcb_input_xi_select_events(connection_->get(), connection_->root(), 1, &mask.head);
    connection_->flush();
}

void InputEventsX11::handle(const xcb_generic_event_t& event)
{
    if ((event.response_type & 0x7f) != XCB_GE_GENERIC)
        return;
    const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
    if (generic.extension != xinputOpcode_)
        return;
    // Every raw event shares the layout of the raw button press up to its detail.
    const auto& raw = reinterpret_cast<const xcb_input_raw_button_press_event_t&>(event);
    switch (generic.event_type) {
    case XCB_INPUT_RAW_BUTTON_PRESS:
        buttonPressed(raw.detail);
        break;
    case XCB_INPUT_RAW_BUTTON_RELEASE:
        buttonReleased(raw.detail);
        break;
    case XCB_INPUT_RAW_MOTION:
        pointerMoved();
        break;
    case XCB_INPUT_RAW_KEY_PRESS:
        keyPressed(static_cast<xcb_keycode_t>(raw.detail));
        break;
    case XCB_INPUT_RAW_KEY_RELEASE:
        keyReleased(static_cast<xcb_keycode_t>(raw.detail));
        break;
    default:
        break;
    }
}

void InputEventsX11::buttonPressed(std::uint32_t button)
{
    if (isWheel(button))
        return;
    const auto pointer = connection_->queryPointer();
    if (!pointer)
        return;
    const bool own = processUnder(pointer->location, pointer->child) == ownProcess_;
    if (button == leftButton) {
        leftHeld_ = true;
        pressIsOwn_ = own;
        lastDrag_ = pointer->location;
        select();
    }
    if (own)
        return;
    if (button == leftButton)
        deliver(MouseEventType::leftMouseDown, pointer->location);
    deliver(MouseEventType::anyMouseDown, pointer->location);
}

void InputEventsX11::buttonReleased(std::uint32_t button)
{
    if (button != leftButton || !leftHeld_)
        return;
    leftHeld_ = false;
    select();
    if (pressIsOwn_)
        return;
    const auto pointer = connection_->queryPointer();
    if (!pointer)
        return;
    // A warp moves the pointer without raw motion: the drag is told first, so
    // the release is never seen somewhere the drag did not go.
    if (pointer->location != lastDrag_)
        deliver(MouseEventType::leftMouseDragged, pointer->location);
    deliver(MouseEventType::leftMouseUp, pointer->location);
}

void InputEventsX11::pointerMoved()
{
    if (!leftHeld_ || pressIsOwn_)
        return;
    const auto pointer = connection_->queryPointer();
    // Several raw motions (one per valuator change) can end at one position.
    if (!pointer || pointer->location == lastDrag_)
        return;
    lastDrag_ = pointer->location;
    deliver(MouseEventType::leftMouseDragged, pointer->location);
}

void InputEventsX11::keyPressed(xcb_keycode_t keycode)
{
    // X keycodes are evdev codes plus 8.
    const auto code = virtualKeyCode(int(keycode) - 8, model_->layoutType());
    if (!code)
        return;
    // The server repeats the key pressed last, so a new press ends the old repeat.
    repeat_.cancel();
    repeating_.reset();
    const auto process = activeProcess();
    if (process == ownProcess_)
        return;
    const KeyDownEvent event { *code, 0, process.value_or(0) };
    deliver(event);

    if (!hasXkb_)
        return;
    auto* xcb = connection_->get();
    const auto controls = xcbReply(xcb, xcb_xkb_get_controls(xcb, XCB_XKB_ID_USE_CORE_KBD), &xcb_xkb_get_controls_reply);
    const bool repeats = controls && (controls->enabledControls & XCB_XKB_BOOL_CTRL_REPEAT_KEYS)
        && (controls->perKeyRepeat[keycode / 8] & (1u << (keycode % 8)));
    if (!repeats)
        return;
    repeating_ = keycode;
    repeatAfter(std::chrono::milliseconds(controls->repeatDelay), keycode, event,
        std::chrono::milliseconds(std::max<std::uint16_t>(controls->repeatInterval, 1)));
}

void InputEventsX11::keyReleased(xcb_keycode_t keycode)
{
    if (repeating_ != keycode)
        return;
    repeat_.cancel();
    repeating_.reset();
}

void InputEventsX11::repeatAfter(Duration delay, xcb_keycode_t keycode, KeyDownEvent event, Duration interval)
{
    repeat_ = executor_.schedule(delay, [this, keycode, event, interval] {
        if (repeating_ != keycode)
            return;
        deliver(event);
        repeatAfter(interval, keycode, event, interval);
    });
}

std::optional<pid_t> InputEventsX11::processUnder(Point location, xcb_window_t child) const
{
    // A pop-up or an unmanaged window names its process itself; a window
    // manager's frame does not, and the managed window inside it does.
    if (child != XCB_NONE) {
        const auto pid = WindowProperty(connection_->get(), child, pidAtom_, XCB_ATOM_CARDINAL).value();
        if (pid && *pid > 0)
            return static_cast<pid_t>(*pid);
    }
    if (const auto window = windows_->windowAt(location))
        return window->pid;
    return std::nullopt;
}

std::optional<pid_t> InputEventsX11::activeProcess() const
{
    const auto active = windows_->activeWindow();
    if (!active)
        return std::nullopt;
    const auto window = windows_->window(*active);
    return window ? window->pid : std::nullopt;
}

void InputEventsX11::deliver(MouseEventType type, Point location)
{
    forEachMonitor(type, [&](const Monitor& monitor) { monitor.mouseHandler(MouseEvent { type, location }); });
}

void InputEventsX11::deliver(const KeyDownEvent& event)
{
    forEachMonitor(std::nullopt, [&](const Monitor& monitor) { monitor.keyDownHandler(event); });
}

template <typename Call>
void InputEventsX11::forEachMonitor(std::optional<MouseEventType> type, Call call)
{
    std::vector<InputMonitorToken> tokens;
    for (const auto& [token, monitor] : monitors_) {
        if (monitor.mouseType == type)
            tokens.push_back(token);
    }
    // A handler may remove monitors, its own among them: each is called only
    // while still installed, on a copy that outlives its removal.
    for (const auto token : tokens) {
        if (const auto found = monitors_.find(token); found != monitors_.end()) {
            const Monitor monitor = found->second;
            call(monitor);
        }
    }
}

} // namespace tintra
