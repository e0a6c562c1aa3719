#include "desktop/ProgramSession.h"
#include "support/DefaultsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sstream>
#include <thread>

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
        settings.set("TintraMutesForAudioHeldBack", true);

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
    std::pair<int, int> centreOf(const std::string& name, const std::string& role = {}) { return centreOf(gtk, name, role); }
    std::pair<int, int> centreOf(const ChildProcess& program, const std::string& name, const std::string& role)
    {
        std::string where;
        VirtualDesktop::waitUntil([&] {
            where = desktop.capture("/usr/bin/python3 '" TINTRA_PROGRAMS_DIR "/atspi-where.py' " + std::to_string(program.pid())
                + " '" + name + "'" + (role.empty() ? "" : " '" + role + "'"));
            return !where.empty();
        }, 10s);
        std::istringstream numbers(where);
        int x = 0, y = 0, width = 0, height = 0;
        numbers >> x >> y >> width >> height;
        return { x + width / 2, y + height / 2 };
    }

    // Runs the command and expects to hear exactly these sounds, in any order, and nothing else;
    // what was heard.
    std::vector<HeardTone> expectHeard(const std::string& command, std::vector<std::string> expected)
    {
        std::vector<TintraSoundID> sounds;
        for (const auto& code : expected)
            sounds.push_back(*TintraSoundID::fromText(code));
        const auto since = ProgramSession::Clock::now();
        EXPECT_TRUE(run(command)) << command << "\n" << desktop.log();
        // Silence is heard for as long as a sound would take to arrive, and more.
        if (sounds.empty())
            std::this_thread::sleep_for(1s);
        const auto tones = session.listenFor(sounds, since, 10s);
        std::vector<std::string> heard;
        for (const auto& tone : tones)
            heard.push_back(tone.sound.description());
        std::sort(heard.begin(), heard.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(heard, expected) << command << "\n" << session.report();
        return tones;
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

TEST_F(EndToEnd, EachControlIsTrackedLikeAClassicButtonAndAClickElsewhereSoundsTheGenericClick)
{
    struct Control {
        std::string name;
        std::string role;
        std::string kind; // the first three letters of its sounds
    };
    const std::vector<Control> controls {
        { "Default", "push button", "dbt" },
        { "Cancel", "push button", "cbt" },
        { "Check", "check box", "chk" },
        { "Radio B", "radio button", "rad" },
    };
    // A plain button, pressed before its tooltip shows.
    const auto [pushX, pushY] = centreOf("Push Me", "push button");
    run("xdotool mousemove " + std::to_string(pushX) + " " + std::to_string(pushY));
    expectHeard("xdotool mousedown 1", { "btnp" });
    expectHeard("xdotool mouseup 1", { "btnr" });
    // The window's empty space, below its controls.
    const auto [emptyX, emptyY] = std::pair(pushX, 620);
    for (const auto& control : controls) {
        const auto [x, y] = centreOf(control.name, control.role);
        // Relative moves are real motion; an absolute one is a warp, which no drag follows.
        const std::string out = "xdotool mousemove_relative -- " + std::to_string(emptyX - x) + " " + std::to_string(emptyY - y);
        const std::string back = "xdotool mousemove_relative -- " + std::to_string(x - emptyX) + " " + std::to_string(y - emptyY);
        run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
        expectHeard("xdotool mousedown 1", { control.kind + "p" });
        expectHeard(out, { control.kind + "x" });
        expectHeard(back, { control.kind + "e" });
        expectHeard("xdotool mouseup 1", { control.kind + "r" });
    }
    expectHeard("xdotool mousemove " + std::to_string(emptyX) + " " + std::to_string(emptyY) + " click 1", { "!mdo" });
}

TEST_F(EndToEnd, ATooltipSoundsItsOpeningAndClosing)
{
    const auto [x, y] = centreOf("Push Me", "push button");
    expectHeard("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y), { "blno" });
    expectHeard("xdotool mousemove " + std::to_string(x) + " 620", { "blnc" });
}

TEST_F(EndToEnd, AKeyOnTheLeftOfTheKeyboardIsHeardOnTheLeftAndOneOnTheRightOnTheRight)
{
    const auto level = [&](const std::string& key) {
        const auto tones = expectHeard("xdotool key " + key, { "!kdo" });
        return tones.empty() ? std::pair(0.0, 0.0) : std::pair(tones.front().left, tones.front().right);
    };
    const auto [qLeft, qRight] = level("q");
    EXPECT_GT(qLeft, qRight);
    const auto [pLeft, pRight] = level("p");
    EXPECT_GT(pRight, pLeft);
}

TEST_F(EndToEnd, AMenuSoundsItsOpeningEachItemHighlightedAndItsClosing)
{
    expectHeard("xdotool key F10", { "!kdo", "mnuo" });
    expectHeard("xdotool key Down", { "!kdo", "mnui" });
    expectHeard("xdotool key Down", { "!kdo", "mnui" });
    expectHeard("xdotool key Escape", { "!kdo", "mnuc" });
}

TEST_F(EndToEnd, AWindowSoundsItsOpeningMinimisingRestoringMovingResizingAndClosing)
{
    const std::string second = "xdotool search --sync --name 'Second Window' ";
    // Alt with a drag is the window manager's own move (left button: a click on the window's
    // label, so the generic click too) and resize (right). Under Xvfb a press on openbox's title
    // bar did not start its move.
    const auto drag = [&](int button, int fromX, int fromY) {
        const auto step = [](int x, int y) { return "mousemove $((X+" + std::to_string(x) + ")) $((Y+" + std::to_string(y) + ")) sleep 0.1 "; };
        return "eval $(" + second + "getwindowgeometry --shell); xdotool keydown alt " + step(fromX, fromY) + "mousedown "
            + std::to_string(button) + " sleep 0.1 " + step(fromX + 30, fromY + 30) + step(fromX + 60, fromY + 60) + "mouseup "
            + std::to_string(button) + " keyup alt";
    };
    expectHeard("xdotool key ctrl+n", { "!kdo", "wopn", "wact" });
    expectHeard(second + "windowminimize --sync", { "wcol", "wact" });
    expectHeard(second + "windowactivate --sync", { "wexp", "wact" });
    expectHeard(drag(1, 100, 50), { "!mdo", "wmov" });
    expectHeard(drag(3, 250, 150), { "wgro" });
    expectHeard("xdotool key alt+F4", { "!kdo", "wcls", "wact" });
}

TEST_F(EndToEnd, ADialogAndAnAlertSoundTheirOpeningAndClosing)
{
    expectHeard("xdotool key ctrl+d", { "!kdo", "wact", "dopn" });
    expectHeard("xdotool key Escape", { "!kdo", "wact", "dlgc" });
    expectHeard("xdotool key ctrl+l", { "!kdo", "wact", "aopn" });
    expectHeard("xdotool key Return", { "!kdo", "wact", "altc" });
}

TEST_F(EndToEnd, AProgramStoppedWhileTheUserClicksInItHoldsUpNeitherTintraDorvelNorTheOthers)
{
    const std::string otherTitle = "Tintra GTK 3 Other";
    ChildProcess other = desktop.start({ "/usr/bin/python3", std::string(TINTRA_PROGRAMS_DIR) + "/gtk3-controls.py", otherTitle });
    // Beside the first, clear of it: a click raises the first.
    ASSERT_TRUE(run("xdotool search --sync --name '" + otherTitle + "' windowmove --sync 820 40 windowactivate --sync"));
    const auto [stoppedX, stoppedY] = centreOf("Default", "push button");
    const auto [otherX, otherY] = centreOf(other, "Default", "push button");
    const auto click = [](int x, int y) { return "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1"; };

    gtk.signal(SIGSTOP);
    run(click(stoppedX, stoppedY));
    // The main loop answers at once (an action that opens no window over the others); one that
    // waited on the stopped program would wait out a time-out of six seconds.
    EXPECT_TRUE(run("gdbus call --session --timeout 2 -d org.tintradorvel.TintraDorvel -o /org/tintradorvel/TintraDorvel "
                    "-m org.freedesktop.Application.ActivateAction copy-report '[]' '{}' >/dev/null"));
    expectHeard(click(otherX, otherY), { "dbtp", "dbtr" });
    gtk.signal(SIGCONT);
    expectHeard(click(stoppedX, stoppedY), { "dbtp", "dbtr", "wact" });
    EXPECT_TRUE(program.isRunning());
}

TEST_F(EndToEnd, WhileTheSoundServerMutesItsStreamNothingSoundsAndTheReportSaysWhy)
{
    const auto mute = [&](bool on) {
        return run("pactl list sink-inputs | awk '/^Sink Input #/ { id = substr($3, 2) } /application.process.id = \"" + std::to_string(program.pid())
            + "\"/ { print id }' | xargs -r -I{} pactl set-sink-input-mute {} " + (on ? "1" : "0"));
    };
    ASSERT_TRUE(mute(true)) << desktop.log();
    // The silence monitor may answer from what it found half a second ago.
    std::this_thread::sleep_for(1s);
    expectHeard("xdotool key q", {});
    EXPECT_NE(session.report().find("Audio is muted or ducked"), std::string::npos) << session.report();
    ASSERT_TRUE(mute(false));
    std::this_thread::sleep_for(1s);
    expectHeard("xdotool key q", { "!kdo" });
}

TEST_F(EndToEnd, AnApplicationLaunchedIsHeard)
{
    const std::string other = "'/usr/bin/python3' '" TINTRA_PROGRAMS_DIR "/gtk3-controls.py' 'Tintra GTK 3 Other'";
    const auto pid = (desktop.folder() / "other.pid").string();
    expectHeard(other + " & echo $! >'" + pid + "'", { "flap", "wact" });
    run("kill $(cat '" + pid + "')");
}

} // namespace
} // namespace tintra
