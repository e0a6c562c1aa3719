#pragma once

#include <cstdint>

namespace tintra {

// What the system knows about the keyboards attached.
//
// Main thread only; neither call fails. On Linux the keyboard type is a
// number the layer gives each XKB model, and the layout type follows the
// model (pc104 ANSI, pc105 ISO, jp106 JIS).
class KeyboardHardware {
public:
    // Layout types, as four-character codes.
    static constexpr std::uint32_t ansiLayoutType = 0x414E5349; // 'ANSI'
    static constexpr std::uint32_t isoLayoutType = 0x49534F20;  // 'ISO '
    static constexpr std::uint32_t jisLayoutType = 0x4A495320;  // 'JIS '

    virtual ~KeyboardHardware() = default;

    // The type of the keyboard last typed on.
    virtual std::int64_t currentKeyboardType() = 0;
    // The physical layout of keyboards of that type; any other code means ANSI.
    virtual std::uint32_t layoutType(std::uint16_t keyboardType) = 0;
};

} // namespace tintra
