#pragma once

#include <cstdint>
#include <optional>

namespace tintra {

// Keys without a virtual key code of their own (media and launcher keys, say)
// get this offset plus their evdev code: no keyboard layout holds them, so
// they still sound, centred.
inline constexpr int unmappedKeyCodeBase = 1000;

// The virtual key code of an evdev key code (an X keycode minus 8) on a
// keyboard of the layout type (KeyboardHardware's ANSI, ISO or JIS code). On
// ISO keyboards the key left of 1 and the key right of the left shift swap
// codes, as they do on the keyboards those codes come from. None for a
// modifier key (shift, control, alt, super, caps lock, AltGr, fn), which
// never makes a key press of its own.
std::optional<int> virtualKeyCode(int evdevCode, std::uint32_t layoutType);

} // namespace tintra
