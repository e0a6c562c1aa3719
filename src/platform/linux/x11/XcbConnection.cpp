#include "platform/linux/x11/XcbConnection.h"

#include <glib.h>

#include <iostream>

namespace tintra {

// A GLib source rather than a bare descriptor watch: xcb reads events off the
// socket while it waits for a reply, and those would sit in its queue with
// nothing left on the descriptor to wake the loop.
struct XcbConnection::Source {
    GSource base;
    XcbConnection* owner;
    gpointer descriptor;
};

namespace {

XcbConnection& ownerOf(GSource* source)
{
    return *reinterpret_cast<XcbConnection::Source*>(source)->owner;
}

} // namespace

tl::expected<std::unique_ptr<XcbConnection>, std::string> XcbConnection::open(const std::string& display)
{
    const char* const environment = g_getenv("DISPLAY");
    const std::string name = display.empty() && environment ? environment : display;
    if (name.empty())
        return tl::unexpected(std::string("no X display (DISPLAY is not set)"));
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(name.c_str(), &screen);
    if (const int error = xcb_connection_has_error(connection)) {
        // Even a failed connection is allocated and must be given back.
        xcb_disconnect(connection);
        return tl::unexpected("cannot connect to the X display " + name + " (xcb error " + std::to_string(error) + ")");
    }
    return std::unique_ptr<XcbConnection>(new XcbConnection(connection, screen));
}

std::unique_ptr<XcbConnection> XcbConnection::openOrReport(std::string_view consequence)
{
    auto opened = open();
    if (!opened) {
        std::cerr << "Tintra Dorvel: " << opened.error() << ", so " << consequence << "." << std::endl;
        return nullptr;
    }
    return std::move(*opened);
}

XcbConnection::XcbConnection(xcb_connection_t* connection, int screen)
    : connection_(connection)
{
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen && roots.rem > 1; ++i)
        xcb_screen_next(&roots);
    root_ = roots.data->root;

    static GSourceFuncs functions {
        .prepare = [](GSource* source, gint* timeout) -> gboolean {
            *timeout = -1;
            return ownerOf(source).hasQueuedEvent();
        },
        .check = [](GSource* source) -> gboolean {
            auto* self = reinterpret_cast<Source*>(source);
            return g_source_query_unix_fd(source, self->descriptor) != 0 || self->owner->hasQueuedEvent();
        },
        .dispatch = [](GSource* source, GSourceFunc, gpointer) -> gboolean {
            return ownerOf(source).drain() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
        },
        .finalize = nullptr,
        .closure_callback = nullptr,
        .closure_marshal = nullptr,
    };
    GSource* source = g_source_new(&functions, sizeof(Source));
    source_ = reinterpret_cast<Source*>(source);
    source_->owner = this;
    source_->descriptor = g_source_add_unix_fd(source, xcb_get_file_descriptor(connection_),
        static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR));
    g_source_attach(source, nullptr);
}

XcbConnection::~XcbConnection()
{
    g_source_destroy(&source_->base);
    g_source_unref(&source_->base);
    xcb_disconnect(connection_);
}

bool XcbConnection::hasQueuedEvent()
{
    if (queued_.empty()) {
        if (auto* event = xcb_poll_for_queued_event(connection_))
            queued_.emplace_back(event);
    }
    return !queued_.empty();
}

bool XcbConnection::drain()
{
    for (;;) {
        XcbReply<xcb_generic_event_t> event;
        if (!queued_.empty()) {
            event = std::move(queued_.front());
            queued_.pop_front();
        } else {
            event.reset(xcb_poll_for_event(connection_));
        }
        if (!event)
            break;
        if (event->response_type != 0)
            listeners_.tell(*event);
    }
    if (xcb_connection_has_error(connection_)) {
        std::cerr << "Tintra Dorvel: the connection to the X server broke; X11 events stop" << std::endl;
        return false;
    }
    return true;
}

xcb_atom_t XcbConnection::atom(std::string_view name)
{
    if (auto known = atoms_.find(name); known != atoms_.end())
        return known->second;
    const auto reply = xcbReply(connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()), &xcb_intern_atom_reply);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (reply)
        atoms_.emplace(std::string(name), atom);
    return atom;
}

std::string XcbConnection::atomName(xcb_atom_t atom)
{
    if (atom == XCB_ATOM_NONE)
        return {};
    const auto reply = xcbReply(connection_, xcb_get_atom_name(connection_, atom), &xcb_get_atom_name_reply);
    if (!reply)
        return {};
    return std::string(xcb_get_atom_name_name(reply.get()), static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())));
}

void XcbConnection::selectRootEvents(std::uint32_t mask)
{
    if ((rootMask_ | mask) == rootMask_)
        return;
    rootMask_ |= mask;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &rootMask_);
    xcb_flush(connection_);
}

Subscription XcbConnection::onEvent(std::function<void(const xcb_generic_event_t&)> listener)
{
    return listeners_.subscribe(std::move(listener));
}

const xcb_query_extension_reply_t* XcbConnection::extensionData(xcb_extension_t& extension) const
{
    const auto* data = xcb_get_extension_data(connection_, &extension);
    return data && data->present ? data : nullptr;
}

std::optional<std::uint8_t> XcbConnection::firstEvent(xcb_extension_t& extension) const
{
    const auto* data = extensionData(extension);
    return data ? std::optional(data->first_event) : std::nullopt;
}

std::optional<std::uint8_t> XcbConnection::majorOpcode(xcb_extension_t& extension) const
{
    const auto* data = extensionData(extension);
    return data ? std::optional(data->major_opcode) : std::nullopt;
}

std::optional<XcbConnection::Pointer> XcbConnection::queryPointer() const
{
    const auto reply = xcbReply(connection_, xcb_query_pointer(connection_, root_), &xcb_query_pointer_reply);
    if (!reply)
        return std::nullopt;
    return Pointer { Point { double(reply->root_x), double(reply->root_y) }, reply->child };
}

} // namespace tintra
