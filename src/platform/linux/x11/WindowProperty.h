#pragma once

#include "platform/linux/x11/XcbReply.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// One window property, asked for when made and read when its value is wanted,
// so that a reader can send every request first and wait once. A missing
// property, a missing window and a property of another type or format all
// read as no value.
class WindowProperty {
public:
    // `type` XCB_ATOM_ANY takes whatever type the property has.
    WindowProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
        std::uint32_t maximumLength = 1024);
    WindowProperty(WindowProperty&&) noexcept;
    WindowProperty& operator=(WindowProperty&&) = delete;
    ~WindowProperty();

    // 32-bit items: CARDINAL, ATOM, WINDOW.
    std::vector<std::uint32_t> values();
    std::optional<std::uint32_t> value();
    // Text of 8-bit items (UTF8_STRING, STRING), up to the first NUL.
    std::optional<std::string> text();
    // Every NUL-separated text of 8-bit items, empty ones included.
    std::vector<std::string> texts();

private:
    const xcb_get_property_reply_t* reply();

    xcb_connection_t* connection_;
    xcb_get_property_cookie_t cookie_;
    bool asked_ = true;
    XcbReply<xcb_get_property_reply_t> reply_;
};

} // namespace tintra
