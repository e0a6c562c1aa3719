#pragma once

#include "support/Clock.h"

#include <filesystem>
#include <functional>

namespace tintra {

class PellUpdater;
class TintraLoginItem;

// What the settings window asks of the application shell. Empty callbacks
// leave their buttons out.
struct TintraSettingsShell {
    // The platform's answer, asked again each time the window is shown.
    std::function<bool()> isAccessibilityTrusted {};
    // "Grant…": asks the desktop to let this process use accessibility.
    std::function<void()> requestAccessibility {};
    std::function<void()> about {};
    std::function<void()> reportBug {};
    // Shows a folder in the file manager; the desktop's own by default.
    std::function<void(const std::filesystem::path&)> revealFolder {};
    // "Open at Login"; without one the General tab has no Login section.
    TintraLoginItem* loginItem = nullptr;
    // Where the desktop keeps what it opens at login, shown by the Login
    // section's button (made first if missing); empty leaves the button out.
    std::filesystem::path loginItemsFolder {};
    // Checking for updates; without one the General tab has no Updates section.
    PellUpdater* updater = nullptr;
    // The date the copied report carries.
    const Clock* clock = &SystemClock::shared();
};

} // namespace tintra
