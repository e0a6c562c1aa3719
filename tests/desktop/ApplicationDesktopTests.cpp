#include "PrivatePulseServer.h"
#include "desktop/ToneSoundSet.h"
#include "desktop/VirtualDesktop.h"
#include "platform/linux/files/LibraryFoldersLinux.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

namespace tintra {
namespace {

using namespace std::chrono_literals;
using testing::heardTones;

// The program installed and started as a user does, on a desktop and a sound server of the
// test's own, with the tone set chosen in its settings file beforehand.
class ApplicationDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (pulse.skipReason)
            GTEST_SKIP() << *pulse.skipReason;
        if (desktop.skipReason)
            GTEST_SKIP() << *desktop.skipReason;
        // Installed as a user would install it, into a prefix of the test's own.
        prefix = desktop.folder() / "prefix";
        ASSERT_EQ(desktop.run("'" TINTRA_CMAKE "' --install '" TINTRA_BUILD_DIR "' --prefix '" + prefix.string() + "' >/dev/null"), 0);
        testing::prepareToneUser();
    }

    ChildProcess start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> command { (prefix / "bin" / "tintra-dorvel").string() };
        command.insert(command.end(), arguments.begin(), arguments.end());
        return desktop.start(command);
    }

    // Started first: the desktop then points HOME and the XDG folders at its own.
    PrivatePulseServer pulse;
    VirtualDesktop desktop;
    std::filesystem::path prefix;
};

TEST_F(ApplicationDesktop, OpenedAtLoginItSoundsTheLoginAloneAndQuitsWhenTheSessionEnds)
{
    SinkRecorder recorder;
    ASSERT_TRUE(recorder.isOpen());
    auto program = start({ "--opened-at-login" });
    // Up to 20 s for the program to come up on a loaded machine, then 1 s more to hear anything else.
    std::vector<SinkRecorder::Chunk> chunks;
    for (int piece = 0; piece < 40 && heardTones(chunks).empty(); ++piece) {
        auto more = recorder.record(500ms, [](const SinkRecorder::Chunk&) { return false; });
        chunks.insert(chunks.end(), more.begin(), more.end());
    }
    auto after = recorder.record(1000ms, [](const SinkRecorder::Chunk&) { return false; });
    chunks.insert(chunks.end(), after.begin(), after.end());
    const auto tones = heardTones(chunks);
    ASSERT_FALSE(tones.empty()) << desktop.log();
    EXPECT_EQ(tones.front().sound, TintraSoundID::login) << desktop.log();
    std::string heard;
    for (const auto& tone : tones)
        heard += " " + tone.sound.description();
    EXPECT_EQ(tones.size(), 1u) << heard;

    program.signal(SIGTERM);
    EXPECT_EQ(program.wait(10s), 0) << desktop.log();
}

// A second start hands its files to the first and ends; the first imports them, and serves its
// actions on the session bus.
TEST_F(ApplicationDesktop, ASecondStartHandsItsFilesToTheFirstWhichImportsThemAndCopiesItsReportOnRequest)
{
    if (desktop.run("command -v xclip") != 0)
        GTEST_SKIP() << "xclip is not installed";
    auto first = start({ "--opened-at-login" });
    ASSERT_TRUE(VirtualDesktop::waitUntil([&] {
        return desktop.capture("gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus "
                               "-m org.freedesktop.DBus.NameHasOwner org.tintradorvel.TintraDorvel")
            == "(true,)";
    }, 20s)) << desktop.log();

    const auto bundle = testing::writeToneSoundSet(desktop.folder() / "downloads", "org.tintradorvel.test.more");
    auto second = start({ bundle.string() });
    EXPECT_EQ(second.wait(20s), 0) << desktop.log();
    const auto installed = standardLibraryDirectory() / bundle.filename();
    EXPECT_TRUE(VirtualDesktop::waitUntil([&] { return std::filesystem::exists(installed); }, 20s)) << desktop.log();
    EXPECT_TRUE(first.isRunning());

    ASSERT_EQ(desktop.run("gdbus call --session -d org.tintradorvel.TintraDorvel -o /org/tintradorvel/TintraDorvel "
                          "-m org.freedesktop.Application.ActivateAction copy-report '[]' '{}'"), 0);
    std::string report;
    EXPECT_TRUE(VirtualDesktop::waitUntil([&] {
        report = desktop.capture("xclip -o -selection clipboard");
        return !report.empty();
    }, 10s)) << desktop.log();
    EXPECT_EQ(report.rfind("Tintra Dorvel: WTF Was That?!\n", 0), 0u) << report;
    EXPECT_NE(report.find("Logged In"), std::string::npos) << report;
}

TEST_F(ApplicationDesktop, WithoutADisplayItSaysItNeedsADesktopSessionAndEndsWithStatusOne)
{
    const auto output = desktop.folder() / "no-display.txt";
    const int status = desktop.run("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '"
        + (prefix / "bin" / "tintra-dorvel").string() + "' >'" + output.string() + "' 2>&1");
    EXPECT_EQ(status, 1);
    std::ifstream text(output);
    const std::string said((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
    EXPECT_EQ(said, "Tintra Dorvel needs a desktop session: no X display could be opened.\n");
}

} // namespace
} // namespace tintra
