#pragma once

#include "platform/linux/Listeners.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tintra {

class XcbConnection;

// The layout type (KeyboardHardware's ANSI, ISO or JIS code) of an XKB
// model: pc102, pc105 and their kin ISO, jp106 and its kin JIS, the rest ANSI.
std::uint32_t layoutTypeOfModel(std::string_view model);

// The keyboard model the X server was told (_XKB_RULES_NAMES on the root
// window, the one setxkbmap rewrites), kept current. Main thread only.
// Empty when the server names none.
class XkbModel {
public:
    explicit XkbModel(XcbConnection& connection);
    XkbModel(const XkbModel&) = delete;
    XkbModel& operator=(const XkbModel&) = delete;

    const std::string& model() const { return model_; }
    std::uint32_t layoutType() const { return layoutTypeOfModel(model_); }

    // Told after the model changed.
    [[nodiscard]] Subscription onChanged(std::function<void()> listener);

private:
    void read();

    XcbConnection& connection_;
    std::uint32_t rulesNames_;
    std::string model_;
    Listeners<> changed_;
    Subscription events_;
};

} // namespace tintra
