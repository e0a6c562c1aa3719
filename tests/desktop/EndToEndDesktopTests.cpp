#include "desktop/PrivateMounts.h"
#include "desktop/ProgramSession.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "support/DefaultsFile.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <map>
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
        prepare(settings);

        controls = startControls();
        ASSERT_TRUE(activate(controlsTitle())) << desktop.log();
        // Started as the autostart entry starts it: the login sounds once the program listens,
        // and what a test does after that is heard.
        const auto started = ProgramSession::Clock::now();
        program = session.start({ "--opened-at-login" });
        const auto login = session.listenFor(TintraSoundID::login, started, 30s);
        ASSERT_TRUE(contains(login, TintraSoundID::login)) << describe(login) << desktop.log();
    }

    // What a test sets up before the program starts: settings of its own, stand-ins of services.
    virtual void prepare(DefaultsFile&) {}
    // The test program the user drives, and its main window's title: our GTK 3 one.
    virtual ChildProcess startControls() { return startGtk(gtkTitle); }
    virtual std::string controlsTitle() const { return gtkTitle; }

    bool run(const std::string& command) { return desktop.run(command) == 0; }

    // xdotool finds a window as soon as it exists, which may be before the window manager took
    // it on and it can be activated: tried until it is.
    bool activate(const std::string& title)
    {
        return VirtualDesktop::waitUntil([&] { return run("xdotool search --sync --name '" + title + "' windowactivate --sync"); }, 10s);
    }

    // Our GTK 3 test program with this title, started as a launcher of this desktop entry
    // starts it when one is given.
    ChildProcess startGtk(const std::string& title, const std::optional<std::filesystem::path>& entry = {})
    {
        const std::string script = std::string(TINTRA_PROGRAMS_DIR) + "/gtk3-controls.py";
        if (!entry)
            return desktop.start({ "/usr/bin/python3", script, title });
        return desktop.start({ "sh", "-c", "export GIO_LAUNCHED_DESKTOP_FILE_PID=$$; exec /usr/bin/python3 \"$0\" \"$1\"", script, title },
            { { "GIO_LAUNCHED_DESKTOP_FILE", entry->string() } });
    }

    // A python-dbusmock stand-in for logind on the session's own system bus.
    ChildProcess startLogind()
    {
        auto logind = desktop.start({ "/usr/bin/python3", "-m", "dbusmock", "--system", "-t", "logind" });
        EXPECT_TRUE(run("gdbus wait --system --timeout 20 org.freedesktop.login1")) << desktop.log();
        return logind;
    }

    // Waits until the report says this (or, with `saying` false, no longer says it); the report.
    std::string reportSaying(const std::string& text, bool saying = true)
    {
        std::string report;
        VirtualDesktop::waitUntil([&] {
            report = session.report();
            return !report.empty() && (report.find(text) != std::string::npos) == saying;
        }, 10s);
        return report;
    }

    struct Frame {
        int x = 0, y = 0, width = 0, height = 0;
    };
    // Where the test program's showing element with this name (and role) is, in screen pixels.
    Frame frameOf(const ChildProcess& program, const std::string& name, const std::string& role)
    {
        std::string where;
        VirtualDesktop::waitUntil([&] {
            where = desktop.capture("/usr/bin/python3 '" TINTRA_PROGRAMS_DIR "/atspi-where.py' " + std::to_string(program.pid())
                + " '" + name + "'" + (role.empty() ? "" : " '" + role + "'"));
            return !where.empty();
        }, 10s);
        std::istringstream numbers(where);
        Frame frame;
        numbers >> frame.x >> frame.y >> frame.width >> frame.height;
        return frame;
    }
    std::pair<int, int> centreOf(const std::string& name, const std::string& role = {}) { return centreOf(controls, name, role); }
    std::pair<int, int> centreOf(const ChildProcess& program, const std::string& name, const std::string& role)
    {
        const auto frame = frameOf(program, name, role);
        return { frame.x + frame.width / 2, frame.y + frame.height / 2 };
    }

    // When the events of a command happen: by the time it has run (an XTest event, a window
    // manager's request), or later, when the toolkit acts of its own accord (a tooltip after
    // its delay, a launched program's first window).
    enum class Events { byTheEnd, later };
    // A user hears a sound as part of what they did when it comes this soon after it.
    static constexpr auto promptly = 150ms;

    // Runs the command and expects to hear exactly these sounds, in any order, and nothing else;
    // what was heard. Events that happened by the command's end must be heard promptly after
    // that end, which allows for the command's own tail after its event as well.
    std::vector<HeardTone> expectHeard(const std::string& command, std::vector<std::string> expected, Events events = Events::byTheEnd)
    {
        std::vector<TintraSoundID> sounds;
        for (const auto& code : expected)
            sounds.push_back(*TintraSoundID::fromText(code));
        const auto since = ProgramSession::Clock::now();
        EXPECT_TRUE(run(command)) << command << "\n" << desktop.log();
        const auto ran = ProgramSession::Clock::now();
        // Silence is heard for as long as a sound would take to arrive, and more.
        if (sounds.empty())
            std::this_thread::sleep_for(1s);
        const auto tones = session.listenFor(sounds, since, 10s);
        std::vector<std::string> heard;
        for (const auto& tone : tones) {
            heard.push_back(tone.sound.description());
            const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(tone.start - ran);
            EXPECT_TRUE(events == Events::later || delay <= promptly) << tone.sound.description() << " came " << delay.count() << " ms after " << command;
        }
        std::sort(heard.begin(), heard.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(heard, expected) << command << "\n" << session.report();
        return tones;
    }
    // Moves the pointer onto the centre of the showing element of this name and role; where that is.
    std::pair<int, int> moveTo(const std::string& name, const std::string& role)
    {
        const auto [x, y] = centreOf(name, role);
        run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
        return { x, y };
    }
    // A click there.
    static std::string click(std::pair<int, int> at)
    {
        return "xdotool mousemove " + std::to_string(at.first) + " " + std::to_string(at.second) + " click 1";
    }
    // A move by this much, as real motion: an absolute move is a warp, which no drag follows.
    static std::string relative(int dx, int dy) { return "xdotool mousemove_relative -- " + std::to_string(dx) + " " + std::to_string(dy); }

    // A press on the control of this name and role, a drag out to `away` and back, and the
    // release, heard as the control's kind ("dbt": dbtp, dbtx, dbte, dbtr) and, with the press,
    // what else it sounds.
    void expectTracked(const std::string& name, const std::string& role, std::pair<int, int> away, const std::string& kind,
        std::vector<std::string> alsoOnPress = {})
    {
        const auto [x, y] = moveTo(name, role);
        alsoOnPress.push_back(kind + "p");
        expectHeard("xdotool mousedown 1", alsoOnPress);
        expectHeard(relative(away.first - x, away.second - y), { kind + "x" });
        expectHeard(relative(x - away.first, y - away.second), { kind + "e" });
        expectHeard("xdotool mouseup 1", { kind + "r" });
    }

    // A press on the first showing element of this role (a scroll bar, a slider) sounds; a drag
    // along it by `distance` and back, and the release, say nothing more.
    void expectOnlyThePressHeard(const std::string& role, const std::string& sound, int distance)
    {
        moveTo("", role);
        expectHeard("xdotool mousedown 1", { sound });
        expectHeard(relative(-distance, 0), {});
        expectHeard(relative(distance, 0), {});
        expectHeard("xdotool mouseup 1", {});
    }

    // The test program's second window, opened, minimised, restored, moved and resized as a
    // user does it, and closed.
    void expectSecondWindowOpenedMinimisedRestoredMovedResizedAndClosed()
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

    // Runs the command every half second until its sound is heard, for up to `limit`; when that
    // sound began, or nothing.
    std::optional<ProgramSession::Clock::time_point> heardOnceRepeating(const std::string& command, TintraSoundID sound, std::chrono::milliseconds limit)
    {
        const auto end = ProgramSession::Clock::now() + limit;
        while (ProgramSession::Clock::now() < end) {
            const auto since = ProgramSession::Clock::now();
            run(command);
            for (const auto& tone : session.listenFor(sound, since, 500ms))
                if (tone.sound == sound)
                    return tone.start;
        }
        return std::nullopt;
    }
    static bool contains(const std::vector<HeardTone>& tones, TintraSoundID sound)
    {
        return std::any_of(tones.begin(), tones.end(), [&](const HeardTone& tone) { return tone.sound == sound; });
    }

    // The system bus is the session's own, for stand-ins of system services.
    ProgramSession session { { .systemBus = true } };
    VirtualDesktop& desktop = session.desktop();
    ChildProcess controls;
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
    const auto [pushX, pushY] = moveTo("Push Me", "push button");
    expectHeard("xdotool mousedown 1", { "btnp" });
    expectHeard("xdotool mouseup 1", { "btnr" });
    // The window's empty space, below its controls.
    const auto [emptyX, emptyY] = std::pair(pushX, 620);
    for (const auto& control : controls)
        expectTracked(control.name, control.role, { emptyX, emptyY }, control.kind);
    expectHeard("xdotool mousemove " + std::to_string(emptyX) + " " + std::to_string(emptyY) + " click 1", { "!mdo" });
}

TEST_F(EndToEnd, ATooltipSoundsItsOpeningAndClosing)
{
    const auto [x, y] = centreOf("Push Me", "push button");
    expectHeard("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y), { "blno" }, Events::later);
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
    expectSecondWindowOpenedMinimisedRestoredMovedResizedAndClosed();
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
    ChildProcess other = startGtk(otherTitle);
    // Beside the first, clear of it: a click raises the first.
    ASSERT_TRUE(run("xdotool search --sync --name '" + otherTitle + "' windowmove --sync 820 40 windowactivate --sync"));
    const auto [stoppedX, stoppedY] = centreOf("Default", "push button");
    const auto [otherX, otherY] = centreOf(other, "Default", "push button");

    controls.signal(SIGSTOP);
    run(click({ stoppedX, stoppedY }));
    // The main loop answers at once (an action that opens no window over the others); one that
    // waited on the stopped program would wait out a time-out of six seconds.
    EXPECT_TRUE(run("gdbus call --session --timeout 2 -d org.tintradorvel.TintraDorvel -o /org/tintradorvel/TintraDorvel "
                    "-m org.freedesktop.Application.ActivateAction copy-report '[]' '{}' >/dev/null"));
    expectHeard(click({ otherX, otherY }), { "dbtp", "dbtr" });
    controls.signal(SIGCONT);
    expectHeard(click({ stoppedX, stoppedY }), { "dbtp", "dbtr", "wact" });
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
    expectHeard(other + " & echo $! >'" + pid + "'", { "flap", "wact" }, Events::later);
    run("kill $(cat '" + pid + "')");
}

TEST_F(EndToEnd, ATabIsTrackedAPopUpButtonSoundsItsMenuScrollBarsAndSlidersTheirPressAndATreeRowItsExpansion)
{
    const auto [emptyX, emptyY] = std::pair(400, 620);

    // A row's expander, left of its cell, is part of the tree: a click there, and the row expands
    // and is selected.
    expectHeard("xdotool mousemove 70 " + std::to_string(centreOf("Parent 0", "table cell").second) + " click 1", { "!mdo", "dscr", "fsel" });
    expectOnlyThePressHeard("scroll bar", "sbtp", 300);
    expectOnlyThePressHeard("slider", "sltp", 300);
    expectTracked("List Tab", "page tab", { emptyX, emptyY }, "tab", { "fsel" });
    // GTK opens a combo box's menu on the press and gives it the pointer: what follows is the menu's.
    {
        const auto [x, y] = moveTo("Alpha", "combo box");
        expectHeard("xdotool mousedown 1", { "mnuo", "mnui" });
        expectHeard(relative(emptyX - x, emptyY - y), {});
        expectHeard(relative(x - emptyX, y - emptyY), { "mnui" });
        expectHeard("xdotool mouseup 1", { "mnuc", "wact" });
    }
}

// The same desktop with our Qt 6 test program.
class EndToEndQt : public EndToEnd {
protected:
    ChildProcess startControls() override { return desktop.start({ TINTRA_QT6_CONTROLS }); }
    std::string controlsTitle() const override { return "Tintra Qt 6 Controls"; }
};

TEST_F(EndToEndQt, AWindowADialogAMenuAndTheButtonsOfTheQtProgramSound)
{
    expectHeard("xdotool key ctrl+n", { "!kdo", "wopn", "wact" });
    expectHeard("wmctrl -c 'Second Window'", { "wcls", "wact" });
    expectHeard("xdotool key ctrl+d", { "!kdo", "dopn", "wact" });
    expectHeard("xdotool key Escape", { "!kdo", "dlgc", "wact" });
    expectHeard(click(centreOf("File", "menu item")), { "mnuo" });
    expectHeard("xdotool key Down", { "!kdo", "mnui" });
    expectHeard("xdotool key Escape", { "!kdo", "mnuc" });
    expectHeard(click(centreOf("Default", "push button")), { "dbtp", "dbtr" });
    expectHeard(click(centreOf("Cancel", "push button")), { "cbtp", "cbtr" });
    expectHeard(click(centreOf("Check", "check box")), { "chkp", "chkr" });
    // Qt draws a spin box's arrows one over the other at its right end.
    const auto spin = frameOf(controls, "", "spin button");
    const int arrowX = spin.x + spin.width - 8;
    expectHeard(click({ arrowX, spin.y + 5 }), { "laup", "laur" });
    expectHeard(click({ arrowX, spin.y + spin.height - 5 }), { "ladp", "ladr" });
}

TEST_F(EndToEndQt, ATooltipTrackedControlsScrollBarsSlidersAndATreeRowOfTheQtProgramSound)
{
    const auto [emptyX, emptyY] = std::pair(400, 625);

    const auto [pushX, pushY] = centreOf("Push Me", "push button");
    expectHeard("xdotool mousemove " + std::to_string(pushX) + " " + std::to_string(pushY), { "blno" }, Events::later);
    // Qt hides a tooltip 300 ms after the pointer left.
    expectHeard("xdotool mousemove " + std::to_string(emptyX) + " " + std::to_string(emptyY), { "blnc" }, Events::later);
    expectTracked("Default", "push button", { emptyX, emptyY }, "dbt");
    expectTracked("Radio B", "radio button", { emptyX, emptyY }, "rad");
    expectTracked("List Tab", "page tab", { emptyX, emptyY }, "tab");
    expectOnlyThePressHeard("scroll bar", "sbtp", 100);
    expectOnlyThePressHeard("slider", "sltp", 100);
    moveTo("Tree Tab", "page tab");
    expectHeard("xdotool click 1", { "tabp", "tabr" });
    // A row is selected; its expansion is not heard, as Qt tells nobody of it.
    moveTo("Parent 1", "");
    expectHeard("xdotool click 1", { "!mdo", "fsel" });
}

// The same desktop with our GTK 4 test program.
class EndToEndGtk4 : public EndToEnd {
protected:
    void SetUp() override
    {
        if (desktop.run("/usr/bin/python3 -c 'import gi; gi.require_version(\"Gtk\", \"4.0\")' 2>/dev/null") != 0)
            GTEST_SKIP() << "Python's GTK 4 bindings (gir1.2-gtk-4.0) are not installed";
        EndToEnd::SetUp();
    }
    // Drawn with cairo: GTK 4's OpenGL renderer, in software on a virtual desktop, keeps it too
    // busy to answer a hit test within its time-out just after a click.
    ChildProcess startControls() override
    {
        return desktop.start({ "/usr/bin/python3", TINTRA_PROGRAMS_DIR "/gtk4-controls.py" }, { { "GSK_RENDERER", "cairo" } });
    }
    std::string controlsTitle() const override { return "Tintra GTK 4 Controls"; }
};

TEST_F(EndToEndGtk4, AMenuWindowsADialogAnAlertAndTheControlsOfTheGtk4ProgramSound)
{
    centreOf("File", "menu item"); // its accessible tree is there
    // GTK 4 builds a menu's pop-over the first time it opens it, in its own time; and it
    // highlights the first item as it opens.
    expectHeard("xdotool key F10", { "!kdo", "mnuo", "mnui" }, Events::later);
    expectHeard("xdotool key Down", { "!kdo", "mnui" });
    expectHeard("xdotool key Escape", { "!kdo", "mnuc" });
    expectHeard("xdotool key F10", { "!kdo", "mnuo", "mnui" });
    expectHeard("xdotool key Escape", { "!kdo", "mnuc" });
    expectSecondWindowOpenedMinimisedRestoredMovedResizedAndClosed();
    // GTK 4 builds its first dialog in its own time, and shows an alert as a dialog.
    for (const auto& [opening, events] : { std::pair("ctrl+d", Events::later), std::pair("ctrl+l", Events::byTheEnd) }) {
        expectHeard(std::string("xdotool key ") + opening, { "!kdo", "wact", "dopn" }, events);
        expectHeard("xdotool key Escape", { "!kdo", "wact", "dlgc" });
    }
    // A default button and a radio button look like a plain button and a check box to GTK 4's
    // accessibility, and sound as those. The window manager places a GTK 4 window: its empty
    // space is right of its controls.
    const auto window = frameOf(controls, controlsTitle(), "frame");
    const std::pair empty { window.x + 600, window.y + 300 };
    expectTracked("Push Me", "push button", empty, "btn");
    expectTracked("Default", "push button", empty, "btn");
    expectTracked("Check", "check box", empty, "chk");
    expectTracked("Radio B", "check box", empty, "chk");
    expectTracked("List Tab", "label", empty, "tab", { "fsel" });
    expectHeard(click(centreOf("GtkScale", "slider")), { "sltp" });
    expectHeard(click(empty), { "!mdo" });
}

// A user who silences sounds while a video plays or an application is fullscreen, and who has
// excluded one application; a logind stand-in that a video player asks to keep the screen awake.
class EndToEndSilence : public EndToEnd {
protected:
    void prepare(DefaultsFile& settings) override
    {
        settings.set("TintraMutesForVideoPlayback", true);
        settings.set("TintraMutesForFullscreenApplication", true);
        settings.set("TintraExcludedApplications", PropertyList::Dictionary { { excludedID, "Excluded Controls" } });
        std::filesystem::create_directories(excludedEntry.parent_path());
        std::ofstream(excludedEntry) << "[Desktop Entry]\nType=Application\nName=Excluded Controls\nExec=gtk3-controls.py\n";
        logind = startLogind();
    }

    const std::string excludedID = "org.tintradorvel.test.Excluded";
    const std::filesystem::path excludedEntry = desktop.folder() / "data" / "applications" / (excludedID + ".desktop");
    ChildProcess logind;
};

TEST_F(EndToEndSilence, AVideoPlayingAFullscreenWindowAndAnExcludedApplicationKeepTheirEventsSilentAndTheReportTellsWhatPlayedAndWhen)
{
    const auto defaultButton = centreOf("Default", "push button");
    expectHeard("xdotool key F10", { "!kdo", "mnuo" });
    expectHeard("xdotool key Down", { "!kdo", "mnui" });
    expectHeard("xdotool key Escape", { "!kdo", "mnuc" });
    expectHeard(click(defaultButton), { "dbtp", "dbtr" });

    const std::string excludedTitle = "Tintra GTK 3 Excluded";
    auto excluded = startGtk(excludedTitle, excludedEntry);
    ASSERT_TRUE(run("xdotool search --sync --name '" + excludedTitle + "' windowmove --sync 820 40 windowactivate --sync"));
    expectHeard(click(centreOf(excluded, "Default", "push button")) + " key F10 sleep 0.3 key Escape", {});
    expectHeard(click(defaultButton), { "dbtp", "dbtr", "wact" });

    // A player that keeps the screen awake, as mpv does through logind.
    const std::string inhibit = "import dbus, time\n"
                                "m = dbus.Interface(dbus.SystemBus().get_object('org.freedesktop.login1', "
                                "'/org/freedesktop/login1'), 'org.freedesktop.login1.Manager')\n"
                                "fd = m.Inhibit('idle', 'player', 'playing video', 'block')\n"
                                "time.sleep(600)\n";
    // The program asks again when a sound is due, so a silence is seen to end at the first sound after it.
    {
        auto player = desktop.start({ "/usr/bin/python3", "-c", inhibit });
        reportSaying("Nothing can be heard right now: a video is playing");
        expectHeard(click(defaultButton) + " key q", {});
    }
    EXPECT_TRUE(heardOnceRepeating("xdotool key q", TintraSoundID("!kdo"), 5s)) << session.report();

    ASSERT_TRUE(run("wmctrl -r '" + gtkTitle + "' -b add,fullscreen"));
    reportSaying("Nothing can be heard right now: any app is fullscreen");
    expectHeard("xdotool key F10 sleep 0.3 key Escape", {});
    ASSERT_TRUE(run("wmctrl -r '" + gtkTitle + "' -b remove,fullscreen"));
    EXPECT_TRUE(heardOnceRepeating("xdotool key q", TintraSoundID("!kdo"), 5s)) << session.report();

    const auto report = session.report();
    EXPECT_NE(report.find("A video is playing · "), std::string::npos) << report;
    EXPECT_NE(report.find("Any app is fullscreen · "), std::string::npos) << report;
    EXPECT_EQ(report.find("still quiet"), std::string::npos) << report;
    EXPECT_NE(report.find("Silence: sounds held back"), std::string::npos) << report;
    // What played is named with the element behind it; a click carries only its kind.
    EXPECT_NE(report.find("Sound: Menu Item Hilite (mnui)"), std::string::npos) << report;
    EXPECT_NE(report.find("Element: AXMenuItem \"New Window\" a menu item"), std::string::npos) << report;
    EXPECT_NE(report.find("Sound: Default Button Press (dbtp)"), std::string::npos) << report;
    EXPECT_EQ(report.find("Excluded Controls"), std::string::npos) << report;
}

// A session whose mounts are its own.
class EndToEndDisks : public EndToEnd {
protected:
    void prepare(DefaultsFile&) override { mountsShared = keepMountsToOurselves(); }
    std::optional<std::string> mountsShared;
};

TEST_F(EndToEndDisks, AVolumeMountedAndUnmountedIsHeard)
{
    if (mountsShared)
        GTEST_SKIP() << *mountsShared;
    const auto folder = std::filesystem::path("/media") / ("tintra-end-to-end-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto since = ProgramSession::Clock::now();
    if (mount("tintra-end-to-end", folder.c_str(), "tmpfs", 0, "size=1m") != 0) {
        const int error = errno;
        std::filesystem::remove(folder);
        GTEST_SKIP() << "the kernel refused to mount a tmpfs below /media: " << std::strerror(error);
    }
    const auto mounted = session.listenFor(TintraSoundID("dski"), since, 10s);
    const auto unmounting = ProgramSession::Clock::now();
    umount(folder.c_str());
    const auto unmounted = session.listenFor(TintraSoundID("dske"), unmounting, 10s);
    std::filesystem::remove(folder);
    EXPECT_EQ(describe(mounted), "dski");
    EXPECT_EQ(describe(unmounted), "dske");
    EXPECT_NE(session.report().find(folder.filename().string()), std::string::npos) << session.report();
}

// A session under a logind stand-in.
class EndToEndLogin : public EndToEnd {
protected:
    void prepare(DefaultsFile&) override { logind = startLogind(); }
    ChildProcess logind;
};

TEST_F(EndToEndLogin, ALogoutIsHeardAndTheProgramEndsWithTheSession)
{
    const auto since = ProgramSession::Clock::now();
    ASSERT_TRUE(run("gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 -m org.freedesktop.DBus.Mock.EmitSignal "
                    "org.freedesktop.login1.Manager PrepareForShutdown b '[<true>]' >/dev/null"));
    // The ending session's terminate follows at once, while the logout sound plays.
    ASSERT_TRUE(VirtualDesktop::waitUntil([&] { return !session.heardSince(since).empty(); }, 5s)) << desktop.log();
    program.signal(SIGTERM);
    const auto status = program.wait(10s);
    ASSERT_TRUE(status.has_value()) << "still running";
    EXPECT_EQ(*status, 0);
    const auto heard = session.listenFor(TintraSoundID::logout, since, 2s);
    EXPECT_EQ(describe(heard), "!lgo");
}

// Every file below these folders, and its bytes.
std::map<std::filesystem::path, std::string> filesBelow(const std::vector<std::filesystem::path>& folders)
{
    std::map<std::filesystem::path, std::string> files;
    for (const auto& folder : folders)
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                files[entry.path()] = (std::ostringstream() << std::ifstream(entry.path(), std::ios::binary).rdbuf()).str();
    return files;
}

TEST_F(EndToEnd, AProgramKilledMidMenuAndTheSoundServerAndTheAccessibilityBusRestartedAreSurvivedAndChangeNoFileOfTheUser)
{
    const std::vector<std::filesystem::path> userFolders { DefaultsFile::standardFolder(), standardLibraryDirectory() };
    const auto before = filesBelow(userFolders);
    ASSERT_FALSE(before.empty());

    expectHeard("xdotool key F10", { "!kdo", "mnuo" });
    controls.signal(SIGKILL);
    const std::string otherTitle = "Tintra GTK 3 Other";
    auto other = startGtk(otherTitle);
    ASSERT_TRUE(activate(otherTitle)) << desktop.log();
    centreOf(other, "File", "menu"); // its accessible tree is there
    expectHeard("xdotool key F10", { "!kdo", "mnuo" });

    const auto back = session.restartSoundServer();
    const auto resumed = heardOnceRepeating("xdotool key q", TintraSoundID("!kdo"), 5s);
    ASSERT_TRUE(resumed) << desktop.log();
    EXPECT_LE(*resumed - back, 2s);

    // Without its accessibility bus the program keeps running and what it hears from the
    // window server still sounds.
    ASSERT_TRUE(desktop.restartAccessibilityBus()) << desktop.log();
    expectHeard("xdotool key q", { "!kdo" });
    EXPECT_FALSE(session.report().empty());
    EXPECT_TRUE(program.isRunning());

    EXPECT_TRUE(filesBelow(userFolders) == before) << "a file of the user changed";
}

} // namespace
} // namespace tintra
