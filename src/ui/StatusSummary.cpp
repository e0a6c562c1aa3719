#include "ui/StatusSummary.h"

namespace tintra {

TintraMenuBarLabel TintraMenuBarLabel::of(const std::optional<TintraSoundObstacle>& obstacle)
{
    if (obstacle)
        return { "MenuBarSilent", "Tintra Dorvel, silent: " + obstacle->label() };
    return { "MenuBarAudible", "Tintra Dorvel, playing sounds" };
}

TintraMenuBarStatusLine TintraMenuBarStatusLine::of(const std::optional<TintraSoundObstacle>& obstacle,
    int playableSoundCount)
{
    if (obstacle)
        return { obstacle->label(), obstacle->explanation() };
    // No singular form: the count is a plain integer.
    return { std::to_string(playableSoundCount) + " events will play", "Nothing is holding sounds back." };
}

} // namespace tintra
