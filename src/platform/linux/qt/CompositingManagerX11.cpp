#include "platform/linux/qt/CompositingManagerX11.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace tintra {

CompositingManagerX11::CompositingManagerX11()
{
    int screen = 0;
    connection_ = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection_))
        return;
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom {
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr),
        &std::free
    };
    if (atom)
        selection_ = atom->atom;
}

CompositingManagerX11::~CompositingManagerX11()
{
    // Even a failed connection is allocated and must be given back.
    xcb_disconnect(connection_);
}

bool CompositingManagerX11::isRunning() const
{
    if (selection_ == XCB_NONE)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner {
        xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection_), nullptr),
        &std::free
    };
    return owner && owner->owner != XCB_NONE;
}

} // namespace tintra
