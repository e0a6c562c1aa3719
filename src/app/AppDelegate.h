#pragma once

#include "app/ActivationPolicy.h"
#include "app/Begging.h"
#include "app/Relocation.h"
#include "engine/Controller.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace tintra {

// What the desktop tells the program and what the program asks of it: the
// launch sequence, opening it again, files opened with it, and quitting
// (held back while the logout sound plays). Main thread only.
class AppDelegate {
public:
    struct Launch {
        // The autostart entry started the program with --opened-at-login.
        bool openedAtLogin = false;
        std::filesystem::path bundleURL;
        bool bundleIsOnReadOnlyVolume = false;
        ProcessEnvironment environment;
    };
    struct Shell {
        std::function<void()> startUpdater;
        std::function<void()> openSettings;
        // Ends the process's main loop.
        std::function<void()> quit;
    };

    AppDelegate(TintraController& tintra, TintraSilenceMonitor& silence, TintraRelocation& relocation,
        TintraBegging& begging, Shell shell);

    // False when the launch ended early (the program quits or restarts from a copy).
    bool applicationDidFinishLaunching(const Launch& launch);
    // The user opened the program again: the settings window, unless a window is already there.
    void applicationShouldHandleReopen();
    void applicationOpen(std::vector<std::filesystem::path> urls);
    // Quits now, or once the logout sound has ended.
    void applicationShouldTerminate();
    void applicationWillTerminate();

    TintraActivationPolicy& activationPolicy() { return activationPolicy_; }

private:
    TintraController& tintra_;
    TintraSilenceMonitor& silence_;
    TintraRelocation& relocation_;
    TintraBegging& begging_;
    Shell shell_;
    TintraActivationPolicy activationPolicy_;
    bool isTerminating_ = false;
};

} // namespace tintra
