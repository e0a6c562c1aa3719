#include "ui/SoundObstacle.h"

#include "engine/Controller.h"
#include "silence/SilenceMonitor.h"
#include "support/PlatformTerms.h"

namespace tintra {

std::string TintraSoundObstacle::label() const
{
    switch (kind) {
    case Case::sandboxed:
        return "Tintra Dorvel is sandboxed";
    case Case::switchedOff:
        return "Sounds are switched off";
    case Case::accessibilityNotGranted:
        return "Accessibility access has not been granted";
    case Case::nothingToPlay:
        return "Nothing installed has a sound to play";
    case Case::volumeAllTheWayDown:
        return "The volume is all the way down";
    case Case::silenced:
        return tintra::label(reason);
    }
    return {};
}

std::string TintraSoundObstacle::explanation() const
{
    switch (kind) {
    case Case::sandboxed:
        return "The app is running inside a Flatpak or Snap sandbox that keeps the accessibility bus out, "
               "so it cannot observe other applications at all. Nothing but a differently built copy will fix it.";
    case Case::switchedOff:
        return "The switch for accessibility notification sounds is off, and it governs the click and key press "
               "sounds with it. Nothing is being watched by any route, so nothing will play.";
    case Case::accessibilityNotGranted:
        return "Tintra Dorvel hears other applications through the desktop's assistive-technology support, and "
            + std::string(platformTerm::operatingSystem)
            + " has not been asked for it or has been told no. Settings has the button that asks.";
    case Case::nothingToPlay:
        return "Everything works; there is simply no file behind any event. Import a sound set, or pick one for "
               "the events to follow, in the Sound Sets tab.";
    case Case::volumeAllTheWayDown:
        return "Sounds are playing, at nothing. The volume slider is in the General tab.";
    case Case::silenced:
        return tintra::explanation(reason);
    }
    return {};
}

std::optional<TintraSoundObstacle> currentObstacle(TintraController& controller, TintraSilenceMonitor& silence,
    TintraProcessAccess access)
{
    using Case = TintraSoundObstacle::Case;
    if (access.isSandboxed)
        return TintraSoundObstacle { Case::sandboxed };
    if (!controller.isRunning().get())
        return TintraSoundObstacle { Case::switchedOff };
    if (!access.isAccessibilityTrusted)
        return TintraSoundObstacle { Case::accessibilityNotGranted };
    auto& player = controller.player();
    if (player.playableSoundCount() == 0)
        return TintraSoundObstacle { Case::nothingToPlay };
    if (player.masterVolume() <= 0.0)
        return TintraSoundObstacle { Case::volumeAllTheWayDown };
    if (const auto reason = silence.cachedReason())
        return TintraSoundObstacle::silencedBy(*reason);
    return std::nullopt;
}

} // namespace tintra
