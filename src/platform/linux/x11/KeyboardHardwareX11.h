#pragma once

#include "input/KeyboardHardware.h"

#include <memory>
#include <string>
#include <vector>

namespace tintra {

class XcbConnection;
class XkbModel;

// The keyboard as XKB's model names it, followed through setxkbmap. Each
// model this process has seen gets a keyboard type of its own (1 for the
// first), so a cache of layouts by type stays right when the model changes;
// its layout type follows the model (pc105 ISO, jp106 JIS, pc104 ANSI, …).
// Without a display it says so once on standard error and answers keyboard
// type 0, an ANSI keyboard.
class KeyboardHardwareX11 final : public KeyboardHardware {
public:
    KeyboardHardwareX11();
    ~KeyboardHardwareX11() override;
    KeyboardHardwareX11(const KeyboardHardwareX11&) = delete;
    KeyboardHardwareX11& operator=(const KeyboardHardwareX11&) = delete;

    std::int64_t currentKeyboardType() override;
    std::uint32_t layoutType(std::uint16_t keyboardType) override;

private:
    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<XkbModel> model_;
    std::vector<std::string> models_; // keyboard type n is models_[n - 1]
};

} // namespace tintra
