#pragma once

#include "app/AboutWindow.h"
#include "app/AppDelegate.h"
#include "app/Composition.h"
#include "app/RunningCopy.h"
#include "app/UpdateDialogs.h"
#include "platform/linux/dbus/DesktopNotifications.h"
#include "platform/linux/updates/UpdateFeedCurl.h"
#include "platform/linux/files/LoginItemServiceAutostart.h"
#include "shell/LoginItem.h"
#include "shell/PellUpdater.h"
#include "ui/MenuBar.h"
#include "ui/SettingsWindow.h"

#include <filesystem>
#include <vector>

namespace tintra {

// The running program: the composition, the launch's helpers, the delegate
// and the interface, made in the order they need each other and taken down
// in reverse. Made on the main thread after the Qt application.
class TintraProgram {
public:
    TintraProgram();

    // False when the launch ended early (the program quits or restarts from a copy).
    bool launch(bool openedAtLogin, std::vector<std::filesystem::path> files);

    // What the desktop and a second launch ask of the running program.
    void reopen() { delegate_.applicationShouldHandleReopen(); }
    void open(std::vector<std::filesystem::path> files) { delegate_.applicationOpen(std::move(files)); }
    void copyReport();
    void quit() { delegate_.applicationShouldTerminate(); }
    void willTerminate() { delegate_.applicationWillTerminate(); }

private:
    ProcessEnvironment environment_;
    TintraRelocation::Folders folders_;
    TintraRunningCopy copy_;
    LoginItemServiceAutostart autostart_;
    TintraLoginItem loginItem_;
    TintraComposition composition_;
    TintraRelocation relocation_;
    TintraBegging begging_;
    TintraAboutWindow about_;
    UpdateFeedCurl updateFeed_;
    TintraUpdateDialogs updateDialogs_;
    DesktopNotifications notifications_;
    PellUpdater updater_;
    TintraSettingsWindow settings_;
    AppDelegate delegate_;
    TintraMenuBar menuBar_;
};

} // namespace tintra
