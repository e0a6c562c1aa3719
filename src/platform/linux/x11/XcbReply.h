#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tintra {

// A reply or an error that xcb allocated with malloc, freed with free.
struct XcbFree {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// The reply to a request, or none when the server answered with an error (a
// window that went away meanwhile, say) or the connection broke. The error is
// taken and freed so it never reaches the event queue.
template <typename Reply, typename Cookie>
XcbReply<Reply> xcbReply(xcb_connection_t* connection, Cookie cookie,
    Reply* (*read)(xcb_connection_t*, Cookie, xcb_generic_error_t**))
{
    xcb_generic_error_t* error = nullptr;
    XcbReply<Reply> reply { read(connection, cookie, &error) };
    std::free(error);
    return reply;
}

} // namespace tintra
