#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/atspi/AccessibilityAtspi.h"

#include "accessibility/AccessibilityContract.h"
#include "desktop/VirtualDesktop.h"

#include <glib.h>

#include <signal.h>

#include <thread>

namespace tintra {
namespace {

// AT-SPI with our GTK 3 test program on the virtual desktop, acted on as a
// user and the system would: Ctrl+N, SIGSTOP and SIGCONT, SIGKILL.
class AtspiWorld {
public:
    // Time-outs end on D-Bus's own timer; the machine may be loaded.
    static constexpr Duration timeoutSlack = std::chrono::milliseconds(50);

    AtspiWorld()
    {
        auto& session = shared();
        skipReason = session.desktop.skipReason;
        if (!skipReason && session.desktop.run("/usr/bin/python3 -c 'import gi; gi.require_version(\"Gtk\", \"3.0\")' 2>/dev/null") != 0)
            skipReason = "Python's GTK 3 bindings (gir1.2-gtk-3.0, python3-gi) are not installed";
        if (skipReason)
            return;
        program_ = session.desktop.start({ "/usr/bin/python3", std::string(TINTRA_PROGRAMS_DIR) + "/gtk3-controls.py" });
        runUntil([&] {
            const auto focused = accessibility().copyAttributeValue(accessibility().applicationElement(program_.pid()), "AXFocusedWindow");
            return focused && focused->get<AXElement>() && (window_ = *focused->get<AXElement>(), true);
        }, seconds(20));
        if (!window_ || session.desktop.run("xdotool search --sync --name '" + title + "' windowactivate --sync") != 0)
            skipReason = "the GTK 3 program did not show its window:\n" + session.desktop.log();
    }

    std::optional<std::string> skipReason;
    Accessibility& accessibility() { return shared().accessibility; }
    std::int32_t processIdentifier() const { return program_.pid(); }
    AXElement window() { return *window_; }

    // Keys chained after a search would go as synthetic events, which GTK ignores.
    void openWindow()
    {
        shared().desktop.run("xdotool search --name '" + title + "' windowactivate --sync");
        shared().desktop.run("xdotool key ctrl+n");
    }
    void stop() { program_.signal(SIGSTOP); }
    void resume() { program_.signal(SIGCONT); }
    void kill() { program_.signal(SIGKILL); }

    bool runUntil(const std::function<bool()>& done, Duration limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() >= end)
                return false;
            if (!g_main_context_iteration(nullptr, FALSE))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
    Duration timed(const std::function<void()>& call)
    {
        const auto start = std::chrono::steady_clock::now();
        call();
        return std::chrono::steady_clock::now() - start;
    }

private:
    inline static const std::string title = "Tintra GTK 3 Controls";

    // One desktop for the process: libatspi keeps the first bus it connects to.
    struct Session {
        VirtualDesktop desktop;
        MainExecutorGlib executor;
        AccessibilityAtspi accessibility { executor };
    };
    static Session& shared()
    {
        static Session session;
        return session;
    }

    ChildProcess program_;
    std::optional<AXElement> window_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(AccessibilityAtspi, AccessibilityContract, AtspiWorld);

} // namespace
} // namespace tintra
