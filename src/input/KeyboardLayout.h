#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace tintra {

// The physical layouts whose key positions place key presses left or right.
enum class TintraKeyboardLayout { ansi, iso, jis };

inline constexpr std::array<TintraKeyboardLayout, 3> allKeyboardLayouts {
    TintraKeyboardLayout::ansi, TintraKeyboardLayout::iso, TintraKeyboardLayout::jis
};

// One key cap, in key units (one unit is a letter key's width).
struct KeyCap {
    struct Key {
        int code; // the virtual key code
        double width = 1;
    };
    // A gap whose key makes no sound: modifiers, caps lock, the space beside the arrows.
    struct Blank {
        double width;
    };
    std::variant<Key, Blank> cap;

    double width() const;
};

// A row of caps from its left edge `start`, left to right.
struct KeyboardRow {
    double start = 0;
    std::vector<KeyCap> caps;
};

// The layout's own rows; every layout continues with the common rows
// (escape and function keys, F13 to F19, editing block, keypad).
std::span<const KeyboardRow> keyboardRows(TintraKeyboardLayout layout);
std::span<const KeyboardRow> commonKeyboardRows();

// Where the key's cap is centred, in key units from the main block's left
// edge; nothing for a code the layout lacks. The tables are built once, on
// first use from any thread, and shared.
std::optional<double> keyCentre(int keyCode, TintraKeyboardLayout layout);

// -1 at the left of the 15-unit main block to 1 at its right, clamped;
// a code the layout lacks sounds centred (0).
float keyPan(int keyCode, TintraKeyboardLayout layout);

} // namespace tintra
