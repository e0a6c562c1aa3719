#pragma once

#include "ui/SoundObstacle.h"

#include <optional>
#include <string>
#include <string_view>

namespace tintra {

// The tray's picture and the words a screen reader says for it.
struct TintraMenuBarLabel {
    std::string_view imageName; // "MenuBarAudible" or "MenuBarSilent"
    std::string accessibilityLabel;

    static TintraMenuBarLabel of(const std::optional<TintraSoundObstacle>& obstacle);
};

// The line at the top of the menu and its help text.
struct TintraMenuBarStatusLine {
    std::string text;
    std::string help;

    static TintraMenuBarStatusLine of(const std::optional<TintraSoundObstacle>& obstacle, int playableSoundCount);
};

} // namespace tintra
