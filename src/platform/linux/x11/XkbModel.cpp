#include "platform/linux/x11/XkbModel.h"

#include "input/KeyboardHardware.h"
#include "platform/linux/x11/WindowProperty.h"
#include "platform/linux/x11/XcbConnection.h"

namespace tintra {

std::uint32_t layoutTypeOfModel(std::string_view model)
{
    if (model.starts_with("jp"))
        return KeyboardHardware::jisLayoutType;
    if (model.starts_with("pc102") || model.starts_with("pc105") || model == "abnt2")
        return KeyboardHardware::isoLayoutType;
    return KeyboardHardware::ansiLayoutType;
}

XkbModel::XkbModel(XcbConnection& connection)
    : connection_(connection)
    , rulesNames_(connection.atom("_XKB_RULES_NAMES"))
{
    // The property, not XKB's new-keyboard notice: that notice can come
    // before setxkbmap has rewritten the names.
    events_ = connection_.onEvent([this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return;
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window == connection_.root() && notify.atom == rulesNames_)
            read();
    });
    connection_.selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE);
    read();
}

Subscription XkbModel::onChanged(std::function<void()> listener)
{
    return changed_.subscribe(std::move(listener));
}

void XkbModel::read()
{
    // Rules, model, layout, variant, options.
    const auto names = WindowProperty(connection_.get(), connection_.root(), rulesNames_, XCB_ATOM_STRING).texts();
    std::string model = names.size() > 1 ? names[1] : std::string();
    if (model == model_)
        return;
    model_ = std::move(model);
    changed_.tell();
}

} // namespace tintra
