#pragma once

#include "support/Geometry.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace tintra {

using InputMonitorToken = std::uint64_t;

enum class MouseEventType {
    leftMouseDown,
    leftMouseDragged,
    leftMouseUp,
    anyMouseDown, // left, right or any other button going down
};

struct MouseEvent {
    MouseEventType type;
    Point location; // top-left global coordinates, as the click resolver hit-tests
};

struct KeyDownEvent {
    int keyCode;                    // the platform's virtual key code (arrows 123 to 126, return 36, …)
    std::int64_t keyboardType = 0;  // hardware keyboard type number; 0 or less when the event does not say
    std::int32_t targetProcess = 0; // the process the key goes to; 0 or less when the event does not say
};

// Global input monitors: they see mouse and key events that go to other
// applications (never this one's own windows) without taking them away.
//
// Main thread only: monitors are installed and removed there and every handler
// is called there. Key-down events include auto-repeats; a modifier key alone
// produces none. Installing may fail (most often because the process may not
// watch input): the result is then no token and no handler is ever called.
// After removal, a handler is never called again, even for an event already
// being delivered; removing an unknown or already removed token does nothing.
class InputEvents {
public:
    using MouseHandler = std::function<void(const MouseEvent&)>;
    using KeyDownHandler = std::function<void(const KeyDownEvent&)>;

    virtual ~InputEvents() = default;

    virtual std::optional<InputMonitorToken> addGlobalMouseMonitor(MouseEventType type, MouseHandler handler) = 0;
    virtual std::optional<InputMonitorToken> addGlobalKeyDownMonitor(KeyDownHandler handler) = 0;
    virtual void removeMonitor(InputMonitorToken token) = 0;
};

} // namespace tintra
