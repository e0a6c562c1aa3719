#include "platform/linux/x11/VirtualKeyCodes.h"

#include "input/KeyboardHardware.h"

#include <utility>

namespace tintra {

namespace {

// evdev code → virtual key code, ANSI positions.
constexpr std::pair<int, int> keys[] {
    { 1, 53 }, // escape
    { 2, 18 }, { 3, 19 }, { 4, 20 }, { 5, 21 }, { 6, 23 }, { 7, 22 }, { 8, 26 }, { 9, 28 }, { 10, 25 }, { 11, 29 },
    { 12, 27 }, { 13, 24 }, { 14, 51 }, // minus, equal, backspace
    { 15, 48 }, // tab
    { 16, 12 }, { 17, 13 }, { 18, 14 }, { 19, 15 }, { 20, 17 }, { 21, 16 }, { 22, 32 }, { 23, 34 }, { 24, 31 }, { 25, 35 },
    { 26, 33 }, { 27, 30 }, { 28, 36 }, // brackets, return
    { 30, 0 }, { 31, 1 }, { 32, 2 }, { 33, 3 }, { 34, 5 }, { 35, 4 }, { 36, 38 }, { 37, 40 }, { 38, 37 },
    { 39, 41 }, { 40, 39 }, { 41, 50 }, { 43, 42 }, // semicolon, apostrophe, grave, backslash
    { 44, 6 }, { 45, 7 }, { 46, 8 }, { 47, 9 }, { 48, 11 }, { 49, 45 }, { 50, 46 }, { 51, 43 }, { 52, 47 }, { 53, 44 },
    { 55, 67 }, { 57, 49 }, // keypad *, space
    { 59, 122 }, { 60, 120 }, { 61, 99 }, { 62, 118 }, { 63, 96 }, { 64, 97 }, { 65, 98 }, { 66, 100 }, { 67, 101 },
    { 68, 109 }, { 87, 103 }, { 88, 111 }, // F1 … F12
    { 69, 71 }, { 70, 107 }, // num lock where the keypad's clear key sits, scroll lock where F14 sits
    { 71, 89 }, { 72, 91 }, { 73, 92 }, { 74, 78 }, { 75, 86 }, { 76, 87 }, { 77, 88 }, { 78, 69 },
    { 79, 83 }, { 80, 84 }, { 81, 85 }, { 82, 82 }, { 83, 65 }, { 96, 76 }, { 98, 75 }, { 117, 81 }, // keypad
    { 86, 10 }, // the key right of the left shift
    { 89, 94 }, { 92, 104 }, { 94, 102 }, { 121, 95 }, { 124, 93 }, // ro, henkan, muhenkan, keypad comma, yen
    { 99, 105 }, { 119, 113 }, // print screen and pause where F13 and F15 sit
    { 102, 115 }, { 103, 126 }, { 104, 116 }, { 105, 123 }, { 106, 124 }, { 107, 119 }, { 108, 125 }, { 109, 121 },
    { 110, 114 }, { 111, 117 }, // insert where help sits, forward delete
    { 113, 74 }, { 114, 73 }, { 115, 72 }, // mute, volume down, volume up
    { 127, 110 }, // menu
    { 183, 105 }, { 184, 107 }, { 185, 113 }, { 186, 106 }, { 187, 64 }, { 188, 79 }, { 189, 80 }, { 190, 90 }, // F13 … F20
};

// Control, shift, alt, caps lock, AltGr, super, the level-3 and level-5 shifts, fn.
constexpr int modifiers[] { 29, 42, 54, 56, 58, 97, 100, 125, 126, 84, 195, 464 };

} // namespace

std::optional<int> virtualKeyCode(int evdevCode, std::uint32_t layoutType)
{
    for (const int modifier : modifiers) {
        if (modifier == evdevCode)
            return std::nullopt;
    }
    if (layoutType == KeyboardHardware::isoLayoutType) {
        if (evdevCode == 41)
            return 10;
        if (evdevCode == 86)
            return 50;
    }
    for (const auto& [evdev, code] : keys) {
        if (evdev == evdevCode)
            return code;
    }
    return unmappedKeyCodeBase + evdevCode;
}

} // namespace tintra
