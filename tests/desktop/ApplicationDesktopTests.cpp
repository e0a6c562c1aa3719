#include "desktop/ProgramSession.h"
#include "platform/linux/files/LibraryFoldersLinux.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tintra {
namespace {

using namespace std::chrono_literals;
using testing::describe;
using testing::ProgramSession;

// The program installed and started as a user does, for the tone user.
class ApplicationDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (session.skipReason)
            GTEST_SKIP() << *session.skipReason;
    }

    ProgramSession session;
    VirtualDesktop& desktop = session.desktop();
};

TEST_F(ApplicationDesktop, OpenedAtLoginItSoundsTheLoginAloneAndQuitsWhenTheSessionEnds)
{
    const auto since = ProgramSession::Clock::now();
    auto program = session.start({ "--opened-at-login" });
    // Up to 20 s for the program to come up on a loaded machine.
    const auto tones = session.listenFor(TintraSoundID::login, since, 20s);
    ASSERT_FALSE(tones.empty()) << desktop.log();
    EXPECT_EQ(tones.front().sound, TintraSoundID::login) << describe(tones);
    EXPECT_EQ(tones.size(), 1u) << describe(tones);

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(10s), 0) << desktop.log();
}

// A second start hands its files to the first and ends; the first imports them, and serves its
// actions on the session bus.
TEST_F(ApplicationDesktop, ASecondStartHandsItsFilesToTheFirstWhichImportsThemAndCopiesItsReportOnRequest)
{
    if (desktop.run("command -v xclip") != 0)
        GTEST_SKIP() << "xclip is not installed";
    auto first = session.start({ "--opened-at-login" });
    ASSERT_TRUE(session.waitUntilRunning(20s)) << desktop.log();

    const auto bundle = testing::writeToneSoundSet(desktop.folder() / "downloads", "org.tintradorvel.test.more");
    auto second = session.start({ bundle.string() });
    EXPECT_EQ(second.wait(20s), 0) << desktop.log();
    const auto installed = standardLibraryDirectory() / bundle.filename();
    EXPECT_TRUE(VirtualDesktop::waitUntil([&] { return std::filesystem::exists(installed); }, 20s)) << desktop.log();
    EXPECT_TRUE(first.isRunning());

    const auto report = session.report();
    EXPECT_EQ(report.rfind("Tintra Dorvel: WTF Was That?!\n", 0), 0u) << report;
    EXPECT_NE(report.find("Logged In"), std::string::npos) << report;
}

// The switch in the settings window, toggled over the accessibility bus as a screen reader's user does.
TEST_F(ApplicationDesktop, OpenAtLoginWritesAnAutostartEntryThatStartsItAsAtLoginAndOffRemovesIt)
{
    if (desktop.run("/usr/bin/python3 -c 'import gi; gi.require_version(\"Atspi\", \"2.0\")' 2>/dev/null") != 0)
        GTEST_SKIP() << "Python's AT-SPI bindings (gir1.2-atspi-2.0, python3-gi) are not installed";
    auto program = session.start();
    ASSERT_TRUE(session.waitUntilRunning(20s)) << desktop.log();
    ASSERT_EQ(session.start().wait(20s), 0) << "a second start opens the settings window" << desktop.log();

    const auto entry = std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "autostart"
        / "org.tintradorvel.TintraDorvel.desktop";
    const std::string toggle = "/usr/bin/python3 '" TINTRA_PROGRAMS_DIR "/atspi-where.py' --press "
        + std::to_string(program.pid()) + " 'Open at Login' 'check box'";
    // The window comes onto the bus a moment after it maps.
    ASSERT_TRUE(VirtualDesktop::waitUntil([&] { return desktop.run(toggle) == 0; }, 20s)) << desktop.log();
    ASSERT_TRUE(VirtualDesktop::waitUntil([&] { return std::filesystem::exists(entry); }, 10s)) << desktop.log();
    std::stringstream text;
    text << std::ifstream(entry).rdbuf();
    EXPECT_NE(text.str().find("\nExec=" + session.program().string() + " --opened-at-login\n"), std::string::npos)
        << text.str();

    ASSERT_EQ(desktop.run(toggle), 0) << desktop.log();
    EXPECT_TRUE(VirtualDesktop::waitUntil([&] { return !std::filesystem::exists(entry); }, 10s)) << desktop.log();
}

TEST_F(ApplicationDesktop, WithoutADisplayItSaysItNeedsADesktopSessionAndEndsWithStatusOne)
{
    const auto output = desktop.folder() / "no-display.txt";
    const int status = desktop.run("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '"
        + session.program().string() + "' >'" + output.string() + "' 2>&1");
    EXPECT_EQ(status, 1);
    std::ifstream text(output);
    const std::string said((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
    EXPECT_EQ(said, "Tintra Dorvel needs a desktop session: no X display could be opened.\n");
}

} // namespace
} // namespace tintra
