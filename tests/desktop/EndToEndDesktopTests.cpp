#include "desktop/ProgramSession.h"
#include "support/DefaultsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace tintra {
namespace {

using namespace std::chrono_literals;
using testing::describe;
using testing::HeardTone;
using testing::ProgramSession;

const std::string gtkTitle = "Tintra GTK 3 Controls";

// The installed program, unmodified, on the virtual desktop with our GTK 3 test program, driven
// as a user drives it (XTest through xdotool) and heard through the sink.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (session.skipReason)
            GTEST_SKIP() << *session.skipReason;
        if (desktop.run("/usr/bin/python3 -c 'import gi; gi.require_version(\"Gtk\", \"3.0\")' 2>/dev/null") != 0)
            GTEST_SKIP() << "Python's GTK 3 bindings (gir1.2-gtk-3.0, python3-gi) are not installed";
        DefaultsFile settings(DefaultsFile::standardFolder(), DefaultsFile::standardDomain());
        settings.set("TintraPlaysClickSounds", true);
        settings.set("TintraPlaysGenericClickSound", true);
        settings.set("TintraPlaysKeyPressSounds", true);
        settings.set("TintraAutoPanEnabled", true);

        gtk = desktop.start({ "/usr/bin/python3", std::string(TINTRA_PROGRAMS_DIR) + "/gtk3-controls.py" });
        ASSERT_TRUE(run("xdotool search --sync --name '" + gtkTitle + "' windowactivate --sync")) << desktop.log();
        // Started as the autostart entry starts it: the login sounds once the program listens,
        // and what a test does after that is heard.
        const auto started = ProgramSession::Clock::now();
        program = session.start({ "--opened-at-login" });
        const auto login = session.listenFor(TintraSoundID::login, started, 30s);
        ASSERT_TRUE(contains(login, TintraSoundID::login)) << describe(login) << desktop.log();
    }

    bool run(const std::string& command) { return desktop.run(command) == 0; }

    // The centre of the GTK program's showing element with this name (and role), in screen pixels.
    std::pair<int, int> centreOf(const std::string& name, const std::string& role = {})
    {
        std::string where;
        VirtualDesktop::waitUntil([&] {
            where = desktop.capture("/usr/bin/python3 '" TINTRA_PROGRAMS_DIR "/atspi-where.py' " + std::to_string(gtk.pid())
                + " '" + name + "'" + (role.empty() ? "" : " '" + role + "'"));
            return !where.empty();
        }, 10s);
        std::istringstream numbers(where);
        int x = 0, y = 0, width = 0, height = 0;
        numbers >> x >> y >> width >> height;
        return { x + width / 2, y + height / 2 };
    }

    // What the action made heard, once `sound` has been heard (or 10 s have passed).
    std::vector<HeardTone> heardAfter(const std::function<void()>& action, TintraSoundID sound)
    {
        const auto since = ProgramSession::Clock::now();
        action();
        return session.listenFor(sound, since, 10s);
    }
    static bool contains(const std::vector<HeardTone>& tones, TintraSoundID sound)
    {
        return std::any_of(tones.begin(), tones.end(), [&](const HeardTone& tone) { return tone.sound == sound; });
    }

    ProgramSession session;
    VirtualDesktop& desktop = session.desktop();
    ChildProcess gtk;
    ChildProcess program;
};

TEST_F(EndToEnd, APressAndAReleaseOnEachControlSoundItsKindAndAClickElsewhereTheGenericClick)
{
    struct Control {
        std::string name;
        std::string role;
        TintraSoundID press;
        TintraSoundID release;
    };
    const std::vector<Control> controls {
        { "Push Me", "push button", TintraSoundID("btnp"), TintraSoundID("btnr") },
        { "Check", "check box", TintraSoundID("chkp"), TintraSoundID("chkr") },
        { "Radio B", "radio button", TintraSoundID("radp"), TintraSoundID("radr") },
    };
    for (const auto& control : controls) {
        const auto [x, y] = centreOf(control.name, control.role);
        run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
        const auto pressed = heardAfter([&] { run("xdotool mousedown 1"); }, control.press);
        EXPECT_EQ(describe(pressed), control.press.description()) << control.name << ": " << describe(pressed) << "\n" << session.report();
        const auto released = heardAfter([&] { run("xdotool mouseup 1"); }, control.release);
        EXPECT_EQ(describe(released), control.release.description()) << control.name << ": " << describe(released) << "\n" << session.report();
    }
    // The window's empty space, below its controls.
    const auto [x, y] = centreOf("Push Me", "push button");
    const auto clicked = heardAfter([&] { run("xdotool mousemove " + std::to_string(x) + " 620 click 1"); }, TintraSoundID("!mdo"));
    EXPECT_EQ(describe(clicked), TintraSoundID("!mdo").description()) << session.report();
}

TEST_F(EndToEnd, AKeyOnTheLeftOfTheKeyboardIsHeardOnTheLeftAndOneOnTheRightOnTheRight)
{
    const auto level = [&](const std::string& key) {
        const auto tones = heardAfter([&] { run("xdotool key " + key); }, TintraSoundID("!kdo"));
        const auto press = std::find_if(tones.begin(), tones.end(), [](const HeardTone& tone) { return tone.sound == TintraSoundID("!kdo"); });
        EXPECT_NE(press, tones.end()) << key << ": " << describe(tones) << "\n" << session.report();
        return press == tones.end() ? std::pair(0.0, 0.0) : std::pair(press->left, press->right);
    };
    const auto [qLeft, qRight] = level("q");
    EXPECT_GT(qLeft, qRight);
    const auto [pLeft, pRight] = level("p");
    EXPECT_GT(pRight, pLeft);
}

} // namespace
} // namespace tintra
