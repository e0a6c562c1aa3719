#include "platform/linux/x11/WindowProperty.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tintra {

WindowProperty::WindowProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
    xcb_atom_t type, std::uint32_t maximumLength)
    : connection_(connection)
    , cookie_(xcb_get_property(connection, 0, window, property, type, 0, maximumLength))
{
}

WindowProperty::WindowProperty(WindowProperty&& other) noexcept
    : connection_(other.connection_)
    , cookie_(other.cookie_)
    , asked_(other.asked_)
    , reply_(std::move(other.reply_))
{
    other.asked_ = false;
}

WindowProperty::~WindowProperty()
{
    // An answer never read would otherwise stay in xcb's reply queue.
    if (asked_)
        xcb_discard_reply(connection_, cookie_.sequence);
}

const xcb_get_property_reply_t* WindowProperty::reply()
{
    if (asked_) {
        asked_ = false;
        reply_ = xcbReply(connection_, cookie_, &xcb_get_property_reply);
    }
    if (!reply_ || reply_->type == XCB_ATOM_NONE)
        return nullptr;
    return reply_.get();
}

std::vector<std::uint32_t> WindowProperty::values()
{
    const auto* got = reply();
    if (!got || got->format != 32)
        return {};
    const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(got));
    return { items, items + xcb_get_property_value_length(got) / 4 };
}

std::optional<std::uint32_t> WindowProperty::value()
{
    auto all = values();
    if (all.empty())
        return std::nullopt;
    return all.front();
}

std::optional<std::string> WindowProperty::text()
{
    const auto* got = reply();
    if (!got || got->format != 8)
        return std::nullopt;
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(got));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(got));
    return std::string(bytes, strnlen(bytes, length));
}

std::vector<std::string> WindowProperty::texts()
{
    const auto* got = reply();
    if (!got || got->format != 8)
        return {};
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(got));
    const std::string_view all(bytes, static_cast<std::size_t>(xcb_get_property_value_length(got)));
    std::vector<std::string> texts;
    for (std::size_t start = 0; start < all.size();) {
        const auto end = std::min(all.find('\0', start), all.size());
        texts.emplace_back(all.substr(start, end - start));
        start = end + 1;
    }
    return texts;
}

} // namespace tintra
