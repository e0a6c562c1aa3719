#pragma once

#include "platform/linux/Listeners.h"
#include "platform/linux/x11/XcbReply.h"
#include "support/Geometry.h"

#include <tl/expected.hpp>
#include <xcb/xcb.h>

#include <deque>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <string_view>

namespace tintra {

// A connection of its own to an X server, watched on GLib's default main
// context: every event that arrives, also one that xcb queued while a caller
// waited for a reply, is told to the listeners on the next loop iteration.
// Main thread only. Errors of unchecked requests (a window that went away
// before a request reached it) are dropped: the readers see the missing reply.
class XcbConnection {
public:
    // Connects to `display`, or to $DISPLAY when empty. Fails with the reason
    // when there is no display or it refuses the connection.
    static tl::expected<std::unique_ptr<XcbConnection>, std::string> open(const std::string& display = {});
    // The same for an adapter that goes on without X: none, after saying on
    // standard error why and what the user goes without (`consequence`).
    static std::unique_ptr<XcbConnection> openOrReport(std::string_view consequence);
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return root_; }

    // The atom of `name`, created when missing; asked once, then remembered.
    xcb_atom_t atom(std::string_view name);
    // Its name, or empty for an atom the server does not know.
    std::string atomName(xcb_atom_t atom);

    // Adds to the events this connection selects on the root window: each
    // reader adds its own without dropping the others'.
    void selectRootEvents(std::uint32_t mask);

    // Every event, in arrival order; `response_type & 0x7f` says which.
    [[nodiscard]] Subscription onEvent(std::function<void(const xcb_generic_event_t&)> listener);

    // The first event code and the major opcode (which generic events carry)
    // of an extension, or none when the server lacks it.
    std::optional<std::uint8_t> firstEvent(xcb_extension_t& extension) const;
    std::optional<std::uint8_t> majorOpcode(xcb_extension_t& extension) const;

    struct Pointer {
        Point location;      // root coordinates
        xcb_window_t child;  // the root's child under it (a frame, a pop-up), XCB_NONE over the root
    };
    // Where the pointer is now: a round trip. None when the connection broke.
    std::optional<Pointer> queryPointer() const;

    // Sends what is buffered without waiting.
    void flush() const { xcb_flush(connection_); }

    struct Source;

private:
    explicit XcbConnection(xcb_connection_t* connection, int screen);
    const xcb_query_extension_reply_t* extensionData(xcb_extension_t& extension) const;
    bool hasQueuedEvent();
    bool drain();

    xcb_connection_t* connection_;
    xcb_window_t root_ = XCB_NONE;
    std::uint32_t rootMask_ = 0;
    std::map<std::string, xcb_atom_t, std::less<>> atoms_;
    Listeners<const xcb_generic_event_t&> listeners_;
    std::deque<XcbReply<xcb_generic_event_t>> queued_;
    Source* source_ = nullptr;
};

} // namespace tintra
