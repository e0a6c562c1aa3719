#pragma once

#include "desktop/ChildProcess.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tintra {

// A desktop session of the test's own: Xvfb on a free display, a private
// session bus (and by option a system bus of its own), the accessibility bus with toolkit accessibility switched on
// (org.a11y.Status IsEnabled, so Qt and browsers expose themselves too), and
// by option the openbox window manager and the xcompmgr compositor. It points
// this process's environment at them (DISPLAY, DBUS_SESSION_BUS_ADDRESS, the
// XDG folders and HOME inside a private folder), so programs started
// afterwards, and libraries opened afterwards, use this session only.
// `skipReason` says which tool is missing or what did not start; everything
// is stopped by its process id, in reverse order, when the desktop goes.
class VirtualDesktop {
public:
    struct Options {
        bool windowManager = true;
        bool compositor = false;
        bool accessibility = true;
        // A private bus as the system bus (DBUS_SYSTEM_BUS_ADDRESS), for stand-ins of system services.
        bool systemBus = false;
        int width = 1280;
        int height = 800;
    };

    VirtualDesktop() : VirtualDesktop(Options {}) {}
    explicit VirtualDesktop(Options options);
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    std::optional<std::string> skipReason;

    // ":N"
    const std::string& display() const { return display_; }
    // The private folder: HOME, and the XDG runtime, config, data and cache folders below it.
    const std::filesystem::path& folder() const { return folder_; }

    // Starts a program in this session, its output appended to the session's log.
    ChildProcess start(const std::vector<std::string>& arguments, const ChildProcess::Environment& environment = {}) const;
    // Runs a shell command (xdotool, xrandr, gdbus …) in this session; its exit status.
    int run(const std::string& command) const;
    // Its standard output, without the last newline.
    std::string capture(const std::string& command) const;

    // Polls `done` every 10 ms until it holds or `limit` passes.
    static bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::milliseconds(5000));

    // The session's own log (everything its programs printed), for a failing test's message.
    std::string log() const;

    // Stops the accessibility bus and launches a new one, as a session does after its bus crashed.
    bool restartAccessibilityBus();

    // Starts or stops the compositor while the session runs.
    bool startCompositor();
    void stopCompositor();

private:
    bool startX(const Options& options);
    bool startBus(ChildProcess& bus, const std::string& configuration, const char* variable);
    bool startAccessibilityBus(bool switchOn);
    bool startWindowManager();
    bool hasSelectionOwner(const std::string& selection) const;

    std::filesystem::path folder_;
    std::string display_;
    ChildProcess x_;
    ChildProcess sessionBus_;
    ChildProcess systemBus_;
    ChildProcess accessibilityBus_;
    bool accessibilitySwitchedOn_ = false;
    ChildProcess windowManager_;
    ChildProcess compositor_;
};

} // namespace tintra
