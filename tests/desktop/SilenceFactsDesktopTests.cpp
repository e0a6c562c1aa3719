#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/SilenceFactsLinux.h"
#include "platform/linux/files/PowerSupplies.h"
#include "platform/linux/pulse/AudioOutputPulse.h"
#include "silence/SilenceMonitor.h"

#include "desktop/MainLoopWait.h"
#include "desktop/PrivatePulseServer.h"
#include "desktop/TestWindow.h"
#include "desktop/VirtualDesktop.h"
#include "fakes/DefaultsMemory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace tintra {
namespace {

using Reason = TintraSilenceReason;
const std::string kPython = "/usr/bin/python3";

// The real adapters behind the real silence monitor, on this desktop. Each
// question enables one reason alone and asks the monitor.
struct SilenceRig {
    MainExecutorGlib main;
    SystemClock clock;
    DefaultsMemory defaults;
    SilenceFactsLinux facts { main };
    BackgroundExecutor background { main };
    std::unique_ptr<TintraSilenceMonitor> monitor;

    void makeMonitor()
    {
        auto probe = std::make_unique<TintraSilenceProbe>(facts, facts.skyLight(), clock, main, background);
        const bool battery = probe->hasBattery();
        monitor = std::make_unique<TintraSilenceMonitor>(defaults, std::move(probe), battery, clock);
    }

    bool holds(Reason reason)
    {
        if (!monitor)
            makeMonitor();
        for (auto each : allSilenceReasons)
            monitor->setEnabled(each == reason, each);
        if (reason == Reason::focus)
            monitor->refreshFocus();
        return monitor->currentReason() == reason;
    }

    // Waits, running the main loop, until the reason holds (or stops holding).
    bool becomes(Reason reason, bool holding) { return iterateUntil([&] { return holds(reason) == holding; }); }
};

class SilenceFactsDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (desktop.skipReason)
            GTEST_SKIP() << *desktop.skipReason;
        setenv("GSETTINGS_BACKEND", "memory", 1);
    }

    // Starts a python-dbusmock stand-in and waits for its name on the bus.
    ChildProcess mock(const std::vector<std::string>& arguments, const std::string& bus, const std::string& name)
    {
        std::vector<std::string> command { kPython, "-m", "dbusmock" };
        command.insert(command.end(), arguments.begin(), arguments.end());
        auto process = desktop.start(command);
        EXPECT_EQ(desktop.run("gdbus wait --" + bus + " --timeout 20 " + name), 0) << desktop.log();
        return process;
    }

    // A stand-in's own method (org.freedesktop.DBus.Mock.…) on the object of its main interface.
    struct StandIn {
        std::string bus, name, path;
    };
    void mockCall(const StandIn& service, const std::string& method, const std::string& arguments)
    {
        EXPECT_EQ(desktop.run("gdbus call --" + service.bus + " -d " + service.name + " -o " + service.path
                      + " -m org.freedesktop.DBus.Mock." + method + " -- " + arguments + " >/dev/null"),
            0)
            << method << " " << arguments;
    }
    void addProperty(const StandIn& service, const std::string& property, const std::string& value)
    {
        mockCall(service, "AddProperty", service.name + " " + property + " '" + value + "'");
    }
    void setProperty(const StandIn& service, const std::string& property, const std::string& value)
    {
        mockCall(service, "UpdateProperties", service.name + " \"{'" + property + "': " + value + "}\"");
    }

    VirtualDesktop desktop { { .windowManager = true, .accessibility = false, .systemBus = true } };
};

TEST_F(SilenceFactsDesktop, ASessionWithoutTheServicesSaysSoOnceForEachAndNothingHolds)
{
    testing::internal::CaptureStderr();
    {
        SilenceRig rig;
        iterateFor(std::chrono::milliseconds(4500)); // past two reconnection attempts to PulseAudio
        for (auto reason : allSilenceReasons)
            EXPECT_FALSE(rig.holds(reason)) << int(reason);
        EXPECT_FALSE(rig.facts.processIsAudible());
        EXPECT_EQ(rig.facts.timeRemainingEstimate().has_value(), readPowerSupplies().has_value()) << "the kernel's list stands in";
        EXPECT_FALSE(rig.facts.assertionsByProcess());
        EXPECT_TRUE(rig.facts.onScreenWindowList());
    }
    const auto said = testing::internal::GetCapturedStderr();
    const auto count = [&](const std::string& text) {
        std::size_t found = 0;
        for (auto at = said.find(text); at != std::string::npos; at = said.find(text, at + 1))
            ++found;
        return found;
    };
    EXPECT_EQ(count("Tintra Dorvel: no PulseAudio server"), 1u) << said;
    EXPECT_EQ(count("org.freedesktop.UPower"), 1u) << said;
    EXPECT_EQ(count("org.freedesktop.login1"), 1u) << said;
    EXPECT_EQ(count("com.feralinteractive.GameMode"), 1u) << said;
    EXPECT_EQ(count("Tintra Dorvel: no PipeWire server"), 1u) << said;
    EXPECT_EQ(count("\n"), 5u + count("org.gnome.SessionManager") + count("org.freedesktop.Notifications")) << said;
}

TEST_F(SilenceFactsDesktop, AudioHeldBackWhileOurOwnStreamIsMutedAndMicrophoneOnlyForAnotherClientsRealSource)
{
    PrivatePulseServer pulse;
    if (pulse.skipReason)
        GTEST_SKIP() << *pulse.skipReason;
    ASSERT_EQ(std::system("pactl load-module module-null-source source_name=tintra_mic >/dev/null"), 0);
    AudioOutputPulse output;
    ASSERT_TRUE(iterateUntil([&] { return output.isConnected(); }));
    SilenceRig rig;

    EXPECT_TRUE(rig.becomes(Reason::audioHeldBack, false));
    const std::string ours = "$(pactl list short sink-inputs | cut -f1 | head -n1)";
    ASSERT_EQ(std::system(("pactl set-sink-input-mute " + ours + " 1").c_str()), 0);
    EXPECT_TRUE(rig.becomes(Reason::audioHeldBack, true));
    ASSERT_EQ(std::system(("pactl set-sink-input-mute " + ours + " 0").c_str()), 0);
    EXPECT_TRUE(rig.becomes(Reason::audioHeldBack, false));
    ASSERT_EQ(std::system("pactl set-sink-volume tintra_null 0 && pactl set-sink-mute tintra_null 0"), 0);
    EXPECT_TRUE(rig.becomes(Reason::audioHeldBack, true));
    ASSERT_EQ(std::system("pactl set-sink-volume tintra_null 65536"), 0);
    EXPECT_TRUE(rig.becomes(Reason::audioHeldBack, false));

    // A recording of a monitor, and our own recording of the microphone, never count.
    EXPECT_TRUE(rig.becomes(Reason::microphoneInUse, false));
    {
        ChildProcess monitorRecording({ "parec", "-d", "tintra_null.monitor" }, {}, std::filesystem::path("/dev/null"));
        const pa_sample_spec format { PA_SAMPLE_S16LE, 48000, 1 };
        pa_simple* ownRecording = pa_simple_new(nullptr, "ours", PA_STREAM_RECORD, "tintra_mic", "own", &format, nullptr, nullptr, nullptr);
        ASSERT_NE(ownRecording, nullptr);
        ASSERT_TRUE(iterateUntil([] { return std::system("test $(pactl list short source-outputs | wc -l) -ge 2") == 0; }));
        iterateFor(std::chrono::milliseconds(700));
        EXPECT_FALSE(rig.holds(Reason::microphoneInUse));
        pa_simple_free(ownRecording);
    }
    ChildProcess microphone({ "parec", "-d", "tintra_mic" }, {}, std::filesystem::path("/dev/null"));
    EXPECT_TRUE(rig.becomes(Reason::microphoneInUse, true));
    microphone.stop();
    EXPECT_TRUE(rig.becomes(Reason::microphoneInUse, false));
}

TEST_F(SilenceFactsDesktop, SharedDisplayWhilePipeWireCarriesAScreenCastButNotForACameraNorWithoutPipeWire)
{
    auto pipewire = desktop.start({ "pipewire" });
    ASSERT_EQ(desktop.run("for i in $(seq 100); do pw-cli info 0 >/dev/null 2>&1 && exit 0; sleep 0.1; done; exit 1"), 0)
        << desktop.log();
    SilenceRig rig;
    ASSERT_TRUE(iterateUntil([&] { return rig.facts.skyLight().isScreenWatcherPresent().has_value(); })) << desktop.log();
    const auto node = [&](const std::string& name, const std::string& properties) {
        return desktop.run("pw-cli create-node adapter '{ factory.name=support.null-audio-sink object.linger=true node.name="
            + name + " " + properties + " }' >/dev/null");
    };
    ASSERT_EQ(node("webcam", "media.class=Video/Source media.role=Camera"), 0);
    iterateFor(std::chrono::milliseconds(700));
    EXPECT_FALSE(rig.holds(Reason::sharedDisplay));

    ASSERT_EQ(node("screen-cast", "media.class=Stream/Output/Video"), 0);
    EXPECT_TRUE(rig.becomes(Reason::sharedDisplay, true));
    ASSERT_EQ(desktop.run("pw-cli destroy screen-cast"), 0);
    EXPECT_TRUE(rig.becomes(Reason::sharedDisplay, false));

    // A portal's cast is a video source of no device.
    ASSERT_EQ(node("portal-cast", "media.class=Video/Source"), 0);
    EXPECT_TRUE(rig.becomes(Reason::sharedDisplay, true));
    testing::internal::CaptureStderr();
    pipewire.stop();
    EXPECT_TRUE(iterateUntil([&] { return !rig.facts.skyLight().isScreenWatcherPresent().has_value(); }));
    EXPECT_FALSE(rig.holds(Reason::sharedDisplay)) << "a cast that cannot be seen is not assumed";
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no PipeWire server"), std::string::npos);
}

TEST_F(SilenceFactsDesktop, OnBatteryFollowsUPowerAndTheBatteryIsDescribed)
{
    auto upower = mock({ "--system", "-t", "upower", "-p", R"({"OnBattery": false, "DaemonVersion": "1.90"})" }, "system",
        "org.freedesktop.UPower");
    const StandIn U { "system", "org.freedesktop.UPower", "/org/freedesktop/UPower" };
    mockCall(U, "SetupDisplayDevice", "2 2 55.0 10.0 60.0 -1.0 1800 0 true 'battery-symbolic' 1");
    SilenceRig rig;
    // The kernel's empty list answers until UPower has.
    ASSERT_TRUE(iterateUntil([&] {
        const auto sources = rig.facts.powerSourceDescriptions();
        return sources && !sources->empty();
    })) << desktop.log();
    const auto sources = *rig.facts.powerSourceDescriptions();
    ASSERT_EQ(sources.size(), 1u);
    const auto& battery = *sources[0].asDictionary();
    EXPECT_EQ(*battery.at("Type").asString(), "InternalBattery");
    EXPECT_EQ(*battery.at("Current Capacity").asInteger(), 55);
    EXPECT_EQ(*rig.facts.timeRemainingEstimate(), -2.0);
    rig.makeMonitor();
    EXPECT_TRUE(rig.monitor->hasBattery());
    EXPECT_FALSE(rig.holds(Reason::onBattery));

    setProperty(U, "OnBattery", "<true>");
    EXPECT_TRUE(rig.becomes(Reason::onBattery, true));
    EXPECT_EQ(*rig.facts.timeRemainingEstimate(), 1800.0);
    setProperty(U, "OnBattery", "<false>");
    EXPECT_TRUE(rig.becomes(Reason::onBattery, false));
}

TEST_F(SilenceFactsDesktop, VideoPlaybackWhileAnotherProcessHoldsAnIdleInhibitor)
{
    auto logind = mock({ "--system", "-t", "logind" }, "system", "org.freedesktop.login1");
    SilenceRig rig;
    ASSERT_TRUE(iterateUntil([&] { return rig.facts.assertionsByProcess().has_value(); })) << desktop.log();
    EXPECT_FALSE(rig.holds(Reason::videoPlayback));

    // A player that keeps the screen awake, as mpv does through logind; a sleep inhibitor does not count.
    const std::string inhibit = "import dbus, sys, time\n"
                                "m = dbus.Interface(dbus.SystemBus().get_object('org.freedesktop.login1', "
                                "'/org/freedesktop/login1'), 'org.freedesktop.login1.Manager')\n"
                                "fd = m.Inhibit(sys.argv[1], 'player', 'playing video', 'block')\n"
                                "time.sleep(600)\n";
    auto sleeper = desktop.start({ kPython, "-c", inhibit, "sleep" });
    ASSERT_TRUE(iterateUntil([&] { return desktop.run("gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 "
                                                      "-m org.freedesktop.login1.Manager.ListInhibitors | grep -q sleep")
                                       == 0; }));
    iterateFor(std::chrono::milliseconds(2500));
    EXPECT_FALSE(rig.holds(Reason::videoPlayback));

    auto player = desktop.start({ kPython, "-c", inhibit, "idle" });
    EXPECT_TRUE(rig.becomes(Reason::videoPlayback, true)) << desktop.log();
    const auto assertions = *rig.facts.assertionsByProcess();
    ASSERT_EQ(assertions.size(), 1u);
    EXPECT_NE(assertions.begin()->first, rig.facts.ownProcessIdentifier());
    player.stop();
    EXPECT_TRUE(rig.becomes(Reason::videoPlayback, false));
}

TEST_F(SilenceFactsDesktop, VideoPlaybackWhileTheGnomeSessionIsKeptFromIdling)
{
    const StandIn G { "session", "org.gnome.SessionManager", "/org/gnome/SessionManager" };
    auto session = mock({ G.name, G.path, G.name }, "session", G.name);
    addProperty(G, "InhibitedActions", "<uint32 4>");
    SilenceRig rig;
    ASSERT_TRUE(iterateUntil([&] { return rig.facts.assertionsByProcess().has_value(); })) << desktop.log();
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_FALSE(rig.holds(Reason::videoPlayback)) << "suspend inhibited is not idle inhibited";
    setProperty(G, "InhibitedActions", "<uint32 12>");
    EXPECT_TRUE(rig.becomes(Reason::videoPlayback, true));
    setProperty(G, "InhibitedActions", "<uint32 0>");
    EXPECT_TRUE(rig.becomes(Reason::videoPlayback, false));
}

TEST_F(SilenceFactsDesktop, FocusFromTheNotificationServersInhibitedAndGnomesBanners)
{
    const StandIn N { "session", "org.freedesktop.Notifications", "/org/freedesktop/Notifications" };
    auto notifications = mock({ "-t", "notification_daemon" }, "session", N.name);
    addProperty(N, "Inhibited", "<false>");
    SilenceRig rig;
    EXPECT_EQ(rig.facts.focusAuthorizationStatus(), FocusAuthorization::authorized);
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_FALSE(rig.holds(Reason::focus));
    setProperty(N, "Inhibited", "<true>");
    EXPECT_TRUE(rig.becomes(Reason::focus, true));
    setProperty(N, "Inhibited", "<false>");
    EXPECT_TRUE(rig.becomes(Reason::focus, false));

    GSettingsSchemaSource* schemas = g_settings_schema_source_get_default();
    GSettingsSchema* schema = schemas ? g_settings_schema_source_lookup(schemas, "org.gnome.desktop.notifications", TRUE) : nullptr;
    if (!schema)
        GTEST_SKIP() << "the GNOME notification schema is not installed (gsettings-desktop-schemas)";
    g_settings_schema_unref(schema);
    GSettings* banners = g_settings_new("org.gnome.desktop.notifications");
    g_settings_set_boolean(banners, "show-banners", FALSE);
    EXPECT_TRUE(rig.becomes(Reason::focus, true));
    g_settings_set_boolean(banners, "show-banners", TRUE);
    EXPECT_TRUE(rig.becomes(Reason::focus, false));
    g_object_unref(banners);
}

TEST_F(SilenceFactsDesktop, GameModeWhileGameModeHasClients)
{
    const StandIn M { "session", "com.feralinteractive.GameMode", "/com/feralinteractive/GameMode" };
    SilenceRig rig;
    EXPECT_FALSE(rig.holds(Reason::gameMode));
    // The service appears after the facts were made, as when gamemoded is started on demand.
    auto gamemode = mock({ M.name, M.path, M.name }, "session", M.name);
    addProperty(M, "ClientCount", "<int32 0>");
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_FALSE(rig.holds(Reason::gameMode));
    setProperty(M, "ClientCount", "<int32 1>");
    EXPECT_TRUE(rig.becomes(Reason::gameMode, true)) << desktop.log();
    setProperty(M, "ClientCount", "<int32 0>");
    EXPECT_TRUE(rig.becomes(Reason::gameMode, false));
}

// A process of its own that a window can name as its owner, started the way
// GIO launches an application from its desktop entry.
ChildProcess launchedFrom(const VirtualDesktop& desktop, const std::filesystem::path& entry)
{
    auto process = desktop.start({ "sh", "-c", "export GIO_LAUNCHED_DESKTOP_FILE_PID=$$; exec sleep 600" },
        { { "GIO_LAUNCHED_DESKTOP_FILE", entry.string() } });
    // Until the shell has become sleep its environment lacks the process id, and a window shown
    // before then would be looked up, and remembered, without an entry.
    const auto environ = "/proc/" + std::to_string(process.pid()) + "/environ";
    EXPECT_TRUE(VirtualDesktop::waitUntil([&] {
        std::ifstream variables(environ);
        const std::string text { std::istreambuf_iterator<char>(variables), {} };
        return text.find("GIO_LAUNCHED_DESKTOP_FILE_PID=") != std::string::npos;
    }));
    return process;
}

std::filesystem::path writeEntry(const VirtualDesktop& desktop, const std::string& name, const std::string& categories)
{
    const auto folder = desktop.folder() / "data" / "applications";
    std::filesystem::create_directories(folder);
    const auto path = folder / (name + ".desktop");
    std::ofstream(path) << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=sleep 600\nCategories="
                        << categories << "\n";
    return path;
}

TEST_F(SilenceFactsDesktop, FullscreenWindowInFrontAndAGameCoveringTheDisplay)
{
    SilenceRig rig;
    auto editor = launchedFrom(desktop, writeEntry(desktop, "editor", "Development;IDE;"));
    TestWindow window("Editor", 100, 100, 400, 300, editor.pid());
    const auto id = std::to_string(window.id());
    ASSERT_EQ(desktop.run("wmctrl -i -a " + id), 0);
    ASSERT_TRUE(iterateUntil([&] {
        const auto front = rig.facts.frontmostApplication();
        return front && front->processIdentifier == editor.pid();
    })) << desktop.log();
    EXPECT_FALSE(rig.holds(Reason::fullscreenApplication));

    ASSERT_EQ(desktop.run("wmctrl -i -r " + id + " -b add,fullscreen"), 0);
    EXPECT_TRUE(rig.becomes(Reason::fullscreenApplication, true)) << desktop.log();
    EXPECT_FALSE(rig.holds(Reason::gameMode)) << "a fullscreen editor is no game";
    ASSERT_EQ(desktop.run("wmctrl -i -r " + id + " -b remove,fullscreen"), 0);
    EXPECT_TRUE(rig.becomes(Reason::fullscreenApplication, false));
    EXPECT_EQ(rig.facts.skyLight().spaceType(1), 0);

    // A fullscreen window that names no owner still makes the active space a full-screen one.
    {
        TestWindow anonymous("Anonymous", 50, 50, 300, 200, 0);
        const auto anonymousId = std::to_string(anonymous.id());
        ASSERT_EQ(desktop.run("wmctrl -i -a " + anonymousId + " && wmctrl -i -r " + anonymousId + " -b add,fullscreen"), 0);
        EXPECT_TRUE(rig.becomes(Reason::fullscreenApplication, true)) << desktop.log();
        EXPECT_EQ(rig.facts.skyLight().spaceType(1), SkyLightPrivateAPILinux::fullScreenSpaceType);
    }
    EXPECT_TRUE(rig.becomes(Reason::fullscreenApplication, false));

    auto game = launchedFrom(desktop, writeEntry(desktop, "arcade", "Game;ArcadeGame;"));
    TestWindow gameWindow("Arcade", 0, 0, 640, 480, game.pid());
    const auto gameId = std::to_string(gameWindow.id());
    ASSERT_EQ(desktop.run("wmctrl -i -a " + gameId), 0);
    ASSERT_TRUE(iterateUntil([&] {
        const auto front = rig.facts.frontmostApplication();
        return front && front->processIdentifier == game.pid() && front->bundleURL;
    })) << desktop.log();
    const auto information = rig.facts.informationDictionary(*rig.facts.frontmostApplication()->bundleURL);
    ASSERT_TRUE(information);
    EXPECT_EQ(*information->at("LSApplicationCategoryType").asString(), "public.app-category.games");
    EXPECT_FALSE(rig.holds(Reason::gameMode)) << "a game in a window leaves the display uncovered";
    ASSERT_EQ(desktop.run("wmctrl -i -r " + gameId + " -b add,fullscreen"), 0);
    EXPECT_TRUE(rig.becomes(Reason::gameMode, true)) << desktop.log();
}

} // namespace
} // namespace tintra
