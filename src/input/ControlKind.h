#pragma once

#include "catalogue/SoundID.h"

#include <array>
#include <optional>

namespace tintra {

// The classic kinds of control a click can land on, in their case order.
enum class TintraControlKind {
    button,
    defaultButton,
    cancelButton,
    checkbox,
    radio,
    tab,
    popUp,
    disclosure,
    littleArrowUp,
    littleArrowDown,
    scrollTrack,
    sliderTrack,
    windowClose,
    windowZoom,
    windowCollapse,
    utilityWindowClose,
    utilityWindowZoom,
    utilityWindowCollapse,
    genericClick,
};

inline constexpr std::array<TintraControlKind, 19> allControlKinds {
    TintraControlKind::button,
    TintraControlKind::defaultButton,
    TintraControlKind::cancelButton,
    TintraControlKind::checkbox,
    TintraControlKind::radio,
    TintraControlKind::tab,
    TintraControlKind::popUp,
    TintraControlKind::disclosure,
    TintraControlKind::littleArrowUp,
    TintraControlKind::littleArrowDown,
    TintraControlKind::scrollTrack,
    TintraControlKind::sliderTrack,
    TintraControlKind::windowClose,
    TintraControlKind::windowZoom,
    TintraControlKind::windowCollapse,
    TintraControlKind::utilityWindowClose,
    TintraControlKind::utilityWindowZoom,
    TintraControlKind::utilityWindowCollapse,
    TintraControlKind::genericClick,
};

// The sounds of a control being tracked. Every kind has a press sound; the
// tracks and the generic click have nothing else.
TintraSoundID pressSoundID(TintraControlKind kind);
std::optional<TintraSoundID> releaseSoundID(TintraControlKind kind);
std::optional<TintraSoundID> enterSoundID(TintraControlKind kind);
std::optional<TintraSoundID> exitSoundID(TintraControlKind kind);

} // namespace tintra
