#include "ui/MenuBarItems.h"

#include "engine/Controller.h"

namespace tintra {

TintraMenuBarState TintraMenuBarState::read(TintraController& controller, const TintraMenuBarStatusLine& status,
    bool hasReadMe, bool canCheckForUpdates)
{
    return {
        .status = status,
        .isRunning = controller.isRunning().get(),
        .playsClickSounds = controller.playsClickSounds().get(),
        .playsKeyPressSounds = controller.playsKeyPressSounds().get(),
        .hasTestSound = controller.player().hasSound(testSoundID),
        .hasReadMe = hasReadMe,
        .canCheckForUpdates = canCheckForUpdates,
    };
}

namespace {

TintraMenuBarItem row(TintraMenuBarItem::Role role, std::string title, bool isEnabled = true,
    std::optional<bool> isChecked = std::nullopt, std::string help = {})
{
    return { role, std::move(title), isEnabled, isChecked, std::move(help) };
}

} // namespace

std::vector<TintraMenuBarItem> menuBarItems(const TintraMenuBarState& state)
{
    using Role = TintraMenuBarItem::Role;
    const auto separator = row(Role::separator, {});
    std::vector<TintraMenuBarItem> items {
        row(Role::status, state.status.text, false, std::nullopt, state.status.help),
        separator,
        row(Role::playsNotificationSounds, "Play Sounds for Accessibility Notifications", true, state.isRunning),
        row(Role::playsClickSounds, "Play Sounds for Clicks", true, state.playsClickSounds),
        row(Role::playsKeyPressSounds, "Play Sounds for Key Presses", true, state.playsKeyPressSounds),
        row(Role::testSound, "Test Sound", state.hasTestSound),
        separator,
        row(Role::settings, "Settings"),
    };
    if (state.hasReadMe)
        items.push_back(row(Role::readMe, "Tintra Dorvel Read Me"));
    items.push_back(row(Role::checkForUpdates, "Check for Updates…", state.canCheckForUpdates));
    items.push_back(separator);
    items.push_back(row(Role::quit, "Quit Tintra Dorvel"));
    return items;
}

} // namespace tintra
