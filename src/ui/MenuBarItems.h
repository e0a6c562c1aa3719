#pragma once

#include "catalogue/SoundID.h"
#include "ui/StatusSummary.h"

#include <optional>
#include <string>
#include <vector>

namespace tintra {

class TintraController;

// The sound "Test Sound" plays: the menu opening.
inline constexpr TintraSoundID testSoundID { "mnuo" };

// One row of the tray's menu.
struct TintraMenuBarItem {
    enum class Role {
        status,
        separator,
        playsNotificationSounds,
        playsClickSounds,
        playsKeyPressSounds,
        testSound,
        settings,
        readMe,
        checkForUpdates,
        quit,
    };
    Role role;
    std::string title;
    bool isEnabled = true;
    std::optional<bool> isChecked; // switches only
    std::string help;
};

// What the menu shows, read from the controller and the shell.
struct TintraMenuBarState {
    TintraMenuBarStatusLine status;
    bool isRunning = false;
    bool playsClickSounds = false;
    bool playsKeyPressSounds = false;
    bool hasTestSound = false;
    bool hasReadMe = false;
    bool canCheckForUpdates = false;

    static TintraMenuBarState read(TintraController& controller, const TintraMenuBarStatusLine& status,
        bool hasReadMe, bool canCheckForUpdates);
};

// The menu top to bottom; the read-me only while there is one.
std::vector<TintraMenuBarItem> menuBarItems(const TintraMenuBarState& state);

} // namespace tintra
