#include "platform/linux/x11/RandrMonitors.h"

#include "platform/linux/x11/XcbConnection.h"
#include "platform/linux/x11/XcbReply.h"

#include <xcb/randr.h>

#include <algorithm>

namespace tintra {

void markMirrors(std::vector<Monitor>& monitors)
{
    for (auto& monitor : monitors) {
        monitor.mirrored = monitor.outputs.size() > 1
            || std::count_if(monitors.begin(), monitors.end(), [&](const Monitor& other) { return other.bounds == monitor.bounds; }) > 1;
    }
}

RandrMonitors::RandrMonitors(XcbConnection& connection)
    : connection_(connection)
{
    auto* xcb = connection_.get();
    const auto first = connection_.firstEvent(xcb_randr_id);
    if (!first)
        return;
    const auto version = xcbReply(xcb, xcb_randr_query_version(xcb, 1, 5), &xcb_randr_query_version_reply);
    if (!version || version->major_version < 1 || (version->major_version == 1 && version->minor_version < 5))
        return;
    available_ = true;
    firstEvent_ = *first;
    events_ = connection_.onEvent([this](const xcb_generic_event_t& event) {
        const int type = event.response_type & 0x7f;
        const int code = type - firstEvent_;
        // A monitor set or deleted by a client is told only as the root's ConfigureNotify.
        const bool rootConfigured = type == XCB_CONFIGURE_NOTIFY
            && reinterpret_cast<const xcb_configure_notify_event_t&>(event).window == connection_.root();
        if (rootConfigured || code == XCB_RANDR_SCREEN_CHANGE_NOTIFY || code == XCB_RANDR_NOTIFY)
            read();
    });
    connection_.selectRootEvents(XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    xcb_randr_select_input(xcb, connection_.root(),
        XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
    read();
}

Subscription RandrMonitors::onChanged(std::function<void()> listener)
{
    return changed_.subscribe(std::move(listener));
}

void RandrMonitors::read()
{
    auto* xcb = connection_.get();
    const auto reply = xcbReply(xcb, xcb_randr_get_monitors(xcb, connection_.root(), 1), &xcb_randr_get_monitors_reply);
    if (!reply)
        return;

    struct Asked {
        Monitor monitor;
        xcb_get_atom_name_cookie_t name;
        std::vector<xcb_randr_get_output_info_cookie_t> outputs;
    };
    std::vector<Asked> asked;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0; xcb_randr_monitor_info_next(&it)) {
        const auto* info = it.data;
        Asked one { Monitor {}, xcb_get_atom_name(xcb, info->name), {} };
        one.monitor.bounds = Rect { double(info->x), double(info->y), double(info->width), double(info->height) };
        one.monitor.primary = info->primary != 0;
        const auto* outputs = xcb_randr_monitor_info_outputs(info);
        for (int i = 0; i < xcb_randr_monitor_info_outputs_length(info); ++i)
            one.outputs.push_back(xcb_randr_get_output_info(xcb, outputs[i], reply->timestamp));
        asked.push_back(std::move(one));
    }

    std::vector<Monitor> monitors;
    for (auto& one : asked) {
        if (const auto name = xcbReply(xcb, one.name, &xcb_get_atom_name_reply))
            one.monitor.name.assign(xcb_get_atom_name_name(name.get()), static_cast<std::size_t>(xcb_get_atom_name_name_length(name.get())));
        for (const auto cookie : one.outputs) {
            if (const auto output = xcbReply(xcb, cookie, &xcb_randr_get_output_info_reply))
                one.monitor.outputs.emplace_back(reinterpret_cast<const char*>(xcb_randr_get_output_info_name(output.get())),
                    static_cast<std::size_t>(xcb_randr_get_output_info_name_length(output.get())));
        }
        monitors.push_back(std::move(one.monitor));
    }
    std::stable_partition(monitors.begin(), monitors.end(), [](const Monitor& monitor) { return monitor.primary; });
    markMirrors(monitors);
    if (monitors == monitors_)
        return;
    monitors_ = std::move(monitors);
    changed_.tell();
}

} // namespace tintra
