#include "fakes/ControllerRig.h"
#include "fakes/SoundSetFiles.h"

#include "catalogue/Catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace tintra {
namespace {

using testing::ControllerRig;
using ::testing::HasSubstr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;
using std::chrono::milliseconds;

constexpr TintraSoundID menuOpen { "mnuo" };
constexpr std::int32_t mail = 42;
constexpr std::int32_t notes = 43;

struct ControllerTest : ::testing::Test {
    ControllerRig rig;

    std::filesystem::path soundFile(const std::filesystem::path& bundle, TintraSoundID sound)
    {
        return bundle / "Contents" / "Resources" / std::string(entryBySoundID(sound)->fileName);
    }

    AXElement menuOf(const AXElement& application)
    {
        return rig.accessibility.addElement(application, { { "AXRole", AXValue::text("AXMenu") } });
    }

    std::vector<std::int32_t> observed() const
    {
        std::vector<std::int32_t> processes;
        for (const auto& [processIdentifier, observer] : rig.controller->observers())
            processes.push_back(processIdentifier);
        return processes;
    }

    const TintraAfflictedApplication* row(const std::string& bundleIdentifier) const
    {
        const auto& rows = rig.controller->afflictedApplications().get();
        const auto found = std::find_if(rows.begin(), rows.end(),
            [&](const auto& each) { return each.bundleIdentifier == bundleIdentifier; });
        return found == rows.end() ? nullptr : &*found;
    }
};

TEST_F(ControllerTest, LaunchedApplicationIsAttachedSoundsItsMenuAndGoesQuietWhenSwitchedOff)
{
    const auto classic = rig.installSet("classic", { menuOpen });
    rig.defaults.set("TintraPlaysNotificationSounds", true);
    auto& controller = rig.make();
    controller.reloadLibrary();
    EXPECT_EQ(controller.assignments().baselineIdentifier().get(), "classic");
    controller.setMonitoring(true);
    controller.startIfEnabled();
    rig.run(milliseconds(5));
    ASSERT_TRUE(controller.isRunning().get());
    EXPECT_NE(controller.ownMenuObserver(), nullptr);
    EXPECT_EQ(controller.observedApplicationCount().get(), 0);

    CaptureStdout();
    const auto app = rig.launch(mail, "Mail", "com.example.mail");
    EXPECT_EQ(observed(), std::vector { mail });
    EXPECT_GT(controller.registeredNotificationCount().get(), 0);
    ASSERT_NE(row("com.example.mail"), nullptr);
    EXPECT_TRUE(row("com.example.mail")->isObserved);

    rig.accessibility.post(menuOf(app), "AXMenuOpened");
    rig.run();
    EXPECT_EQ(rig.startsOf(soundFile(classic, menuOpen)), 1);
    ASSERT_EQ(controller.log().sections().size(), 1u);
    const auto& section = controller.log().sections().front();
    EXPECT_EQ(section.name, "Mail");
    ASSERT_EQ(section.entries.size(), 1u);
    EXPECT_EQ(section.entries.front().soundID, menuOpen);

    rig.workspace.quit(mail);
    EXPECT_TRUE(observed().empty());
    EXPECT_EQ(controller.registeredNotificationCount().get(), 0);
    EXPECT_EQ(row("com.example.mail"), nullptr);
    const auto echo = GetCapturedStdout();
    EXPECT_EQ(echo,
        "Tintra: App Launched -> flap (no sound assigned) from Mail\n"
        "Tintra: AXMenuOpened -> mnuo (plays) from Mail\n"
        "Tintra: App Quit -> !aqt (no sound assigned) from Mail\n");
    // Launch and quit had no sound, so only the menu is logged.
    EXPECT_EQ(controller.log().entryCount(), 1u);
    EXPECT_EQ(controller.recentEvents().get().size(), 3u);

    const auto notesApp = rig.launch(notes, "Notes", "com.example.notes");
    const auto notesMenu = menuOf(notesApp);
    rig.accessibility.post(notesMenu, "AXMenuOpened");
    rig.run();
    ASSERT_TRUE(controller.player().isPlaying(menuOpen));
    EXPECT_EQ(controller.observedApplicationCount().get(), 1);

    controller.setPlaysNotificationSounds(false);
    EXPECT_FALSE(controller.isRunning().get());
    EXPECT_FALSE(rig.defaults.boolForKey("TintraPlaysNotificationSounds", true));
    EXPECT_FALSE(controller.player().isPlaying(menuOpen));
    EXPECT_EQ(controller.observedApplicationCount().get(), 0);
    EXPECT_EQ(controller.registeredNotificationCount().get(), 0);
    EXPECT_EQ(controller.ownMenuObserver(), nullptr);
    EXPECT_TRUE(rig.accessibility.observers(notes).empty());
    EXPECT_EQ(rig.workspace.observerCount(), 0u);
    EXPECT_EQ(rig.inputEvents.installedCount(), 0u);
    EXPECT_EQ(rig.sparks.clearCount, 1);
    ASSERT_NE(row("com.example.notes"), nullptr);
    EXPECT_FALSE(row("com.example.notes")->isObserved);
    // The monitor's list outlives the switch.
    EXPECT_EQ(controller.recentEvents().get().size(), 5u);
    EXPECT_TRUE(controller.isMonitoring().get());

    rig.accessibility.post(notesMenu, "AXMenuOpened");
    rig.run();
    EXPECT_EQ(rig.startsOf(soundFile(classic, menuOpen)), 2);
}

TEST_F(ControllerTest, AProcessIdentifierThatComesBackForAnotherApplicationIsLoggedUnderItsNewName)
{
    rig.installSet("classic", { menuOpen });
    auto& controller = rig.make();
    controller.reloadLibrary();
    controller.start();
    const auto menu = menuOf(rig.launch(mail, "Mail", "com.example.mail"));
    rig.accessibility.post(menu, "AXMenuOpened");
    rig.run();
    rig.workspace.quit(mail);
    rig.workspace.launch({ .processIdentifier = mail, .localizedName = "Calendar", .bundleIdentifier = "com.example.calendar" });
    rig.accessibility.post(menu, "AXMenuOpened");
    rig.run();
    std::vector<std::string> names;
    for (const auto& section : controller.log().sections())
        names.push_back(section.name);
    EXPECT_EQ(names, (std::vector<std::string> { "Calendar", "Mail" }));
}

TEST_F(ControllerTest, AttachPassTakesTheActiveApplicationFirstThenRegularThenAccessoryOnePerMillisecond)
{
    auto& controller = rig.make();
    rig.launch(10, "Agent", "com.example.agent", ActivationPolicy::accessory);
    rig.launch(11, "Mail", "com.example.mail");
    rig.launch(12, "Notes", "com.example.notes");
    rig.launch(13, "Daemon", "com.example.daemon", ActivationPolicy::prohibited);
    rig.launch(14, "Secret", "com.example.secret");
    rig.launch(15, "Gone", "com.example.gone");
    rig.launch(16, "Also Mail", "com.example.mail");
    rig.workspace.terminate(15);
    rig.workspace.setFrontmost(12);
    controller.exclusions().exclude("com.example.secret");

    controller.start();
    EXPECT_TRUE(controller.isAttaching().get());
    EXPECT_EQ(controller.applicationsToAttach().get(), 4);
    EXPECT_TRUE(observed().empty());
    rig.run();
    EXPECT_EQ(observed(), std::vector<std::int32_t> { 12 });
    rig.run(milliseconds(1));
    EXPECT_EQ(observed(), (std::vector<std::int32_t> { 11, 12 }));
    rig.run(milliseconds(1));
    EXPECT_EQ(observed(), (std::vector<std::int32_t> { 11, 12, 16 }));
    EXPECT_EQ(controller.applicationsAttached().get(), 3);
    rig.run(milliseconds(2));
    EXPECT_EQ(observed(), (std::vector<std::int32_t> { 10, 11, 12, 16 }));
    EXPECT_FALSE(controller.isAttaching().get());
    EXPECT_EQ(controller.applicationsAttached().get(), 4);
    // Both Mail processes make one row with the sum of their registrations.
    ASSERT_NE(row("com.example.mail"), nullptr);
    EXPECT_EQ(row("com.example.mail")->registeredNotificationCount,
        2 * static_cast<int>(controller.observers().at(11)->registeredRawNames().size()));
    EXPECT_TRUE(row("com.example.secret")->isExcluded);

    // Everything observed with registrations: a rescan has nothing to do.
    controller.attachAll();
    EXPECT_FALSE(controller.isAttaching().get());
    EXPECT_EQ(controller.applicationsToAttach().get(), 0);

    // A pass cut short by the switch leaves the rest alone.
    controller.stop();
    controller.start();
    rig.run();
    controller.stop();
    rig.run(milliseconds(10));
    EXPECT_TRUE(observed().empty());
    EXPECT_FALSE(controller.isAttaching().get());
    EXPECT_EQ(controller.applicationsToAttach().get(), 0);
}

TEST_F(ControllerTest, TimedOutAttachIsRememberedAndOnlyPartlyWiredUntilARescanSucceeds)
{
    auto& controller = rig.make();
    rig.launch(mail, "Mail", "com.example.mail");
    rig.accessibility.setAnswerDelay(mail, milliseconds(300));
    controller.start();
    CaptureStdout();
    rig.run(seconds(1)); // each unanswered registration costs the 0.25 s time-out
    EXPECT_EQ(GetCapturedStdout(),
        "TintraController: attached to 1 applications but registered 0 notifications. Accessibility access is denied.\n");

    // Two registrations in a row went unanswered: the attach gave up after two time-outs.
    ASSERT_TRUE(controller.timeouts().contains(mail));
    EXPECT_DOUBLE_EQ(controller.timeouts().at(mail).duration, 0.5);
    EXPECT_EQ(controller.timeouts().at(mail).registeredNotificationCount, 0);
    ASSERT_NE(row("com.example.mail"), nullptr);
    EXPECT_EQ(row("com.example.mail")->timeout, controller.timeouts().at(mail));
    EXPECT_EQ(controller.problemDescription(),
        "Attached to 1 applications but registered no notifications. Accessibility access was probably revoked; try "
        "Rescan Apps.");

    rig.accessibility.setAnswerDelay(mail, milliseconds(0));
    controller.attachAll();
    rig.run(seconds(1));
    EXPECT_FALSE(controller.timeouts().contains(mail));
    EXPECT_GT(controller.registeredNotificationCount().get(), 0);
    EXPECT_FALSE(row("com.example.mail")->timeout);
    EXPECT_EQ(rig.accessibility.observers(mail).size(), 1u);
}

TEST_F(ControllerTest, LaunchRetriesAttachAfterOneTwoFourAndEightSecondsUntilOneSucceeds)
{
    auto& controller = rig.make();
    controller.start();
    rig.accessibility.setObserverCreationError(mail, AXError::failure);
    rig.launch(mail, "Mail", "com.example.mail");
    EXPECT_EQ(controller.failedObserverCount().get(), 1);
    rig.run(seconds(2.5));
    EXPECT_EQ(controller.failedObserverCount().get(), 2);
    EXPECT_TRUE(observed().empty());

    // Attachable after 3 s: the second retry, at 1 + 2 s, gets it.
    rig.accessibility.setObserverCreationError(mail, std::nullopt);
    rig.run(seconds(0.5));
    EXPECT_EQ(observed(), std::vector { mail });
    rig.run(seconds(20));
    EXPECT_EQ(rig.accessibility.observers(mail).size(), 1u);
    EXPECT_EQ(controller.failedObserverCount().get(), 2);

    // An agent is attached without a launch sound; a background process never.
    controller.setMonitoring(true);
    rig.launch(50, "Agent", "com.example.agent", ActivationPolicy::accessory);
    rig.launch(51, "Daemon", "com.example.daemon", ActivationPolicy::prohibited);
    rig.run(seconds(20));
    EXPECT_EQ(observed(), (std::vector<std::int32_t> { mail, 50 }));
    EXPECT_TRUE(rig.accessibility.observers(51).empty());
    EXPECT_TRUE(controller.recentEvents().get().empty());

    // Off and on again: every application again, failures forgotten.
    controller.setPlaysNotificationSounds(false);
    controller.setPlaysNotificationSounds(true);
    rig.run(milliseconds(5));
    EXPECT_EQ(observed(), (std::vector<std::int32_t> { mail, 50 }));
    EXPECT_EQ(controller.failedObserverCount().get(), 0);
}

TEST_F(ControllerTest, ProblemDescriptionNamesTheFirstProblemAndTheSandboxWinsOverEveryOther)
{
    rig.home = "/Users/tester/Library/Containers/org.tintradorvel.TintraDorvel/Data";
    rig.accessibility.setTrusted(false);
    for (auto type : { MouseEventType::leftMouseDown, MouseEventType::leftMouseDragged, MouseEventType::leftMouseUp })
        rig.inputEvents.refuse(type);
    rig.inputEvents.refuseKeyDown();
    rig.defaults.set("TintraPlaysKeyPressSounds", true);
    auto& controller = rig.make();
    CaptureStdout();
    controller.start();
    EXPECT_THAT(GetCapturedStdout(),
        HasSubstr("TintraController: running sandboxed, so no other application can be observed. ENABLE_APP_SANDBOX "
                  "must be NO.\n"));
    EXPECT_EQ(controller.problemDescription(),
        "The app is sandboxed, so it cannot observe other applications. Set ENABLE_APP_SANDBOX to NO and relaunch.");
}

TEST_F(ControllerTest, ProblemDescriptionOrderWithoutTheSandbox)
{
    rig.accessibility.setTrusted(false);
    for (auto type : { MouseEventType::leftMouseDown, MouseEventType::leftMouseDragged, MouseEventType::leftMouseUp })
        rig.inputEvents.refuse(type);
    rig.inputEvents.refuseKeyDown();
    rig.defaults.set("TintraPlaysKeyPressSounds", true);
    auto& controller = rig.make();
    controller.start();
    EXPECT_EQ(controller.problemDescription(), "Accessibility access has not been granted.");
    rig.accessibility.setTrusted(true);
    EXPECT_EQ(controller.problemDescription(), "Clicks are switched on but no mouse monitor could be installed.");
    controller.setPlaysClickSounds(false);
    EXPECT_EQ(controller.problemDescription(), "Key presses are switched on but no keyboard monitor could be installed.");
    controller.stop();
    EXPECT_EQ(controller.problemDescription(), "No sound sets installed. Open the Sound Sets tab to import one.");
    rig.installSet("classic", { menuOpen });
    controller.reloadLibrary();
    EXPECT_EQ(controller.problemDescription(), std::nullopt);
}

TEST_F(ControllerTest, MonitorKeepsTheTwelveNewestAndLogsOnlyWhatSounded)
{
    rig.installSet("classic", { menuOpen });
    auto& controller = rig.make();
    controller.reloadLibrary();
    TintraEvent event;
    event.notificationName = "AXMenuOpened";
    event.soundID = menuOpen;
    CaptureStdout();
    controller.handle(event);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_TRUE(controller.recentEvents().get().empty());

    controller.setMonitoring(true);
    CaptureStdout();
    for (int i = 1; i <= 13; ++i) {
        event.processIdentifier = i;
        controller.handle(event);
    }
    const auto echo = GetCapturedStdout();
    EXPECT_THAT(echo, HasSubstr("Tintra: AXMenuOpened -> mnuo (plays) from pid 1\n"));
    const auto& recent = controller.recentEvents().get();
    ASSERT_EQ(recent.size(), 12u);
    EXPECT_EQ(recent.front().processIdentifier, 2);
    EXPECT_EQ(recent.back().processIdentifier, 13);

    // Refused by the player: echoed and listed, not logged.
    const auto logged = controller.log().entryCount();
    controller.player().setEnabled(false);
    CaptureStdout();
    controller.handle(event);
    EXPECT_EQ(GetCapturedStdout(), "Tintra: AXMenuOpened -> mnuo (plays) from pid 13\n");
    EXPECT_EQ(controller.log().entryCount(), logged);
    controller.clearRecentEvents();
    EXPECT_TRUE(controller.recentEvents().get().empty());

    // Once the controller is gone its handler drops events.
    auto handler = controller.eventHandler();
    rig.controller.reset();
    CaptureStdout();
    handler(event);
    EXPECT_EQ(GetCapturedStdout(), "");
}

TEST_F(ControllerTest, SwitchesAreReadAtCreationWrittenWhenSetAndDriveTheMonitorsAndSparks)
{
    rig.defaults.set("TintraPlaysClickSounds", false);
    rig.defaults.set("TintraShowsClickSparks", true);
    rig.defaults.set("TintraShowsMenuBarItem", "no");
    auto& controller = rig.make();
    // Read, not written back.
    EXPECT_EQ(rig.defaults.stringForKey("TintraShowsMenuBarItem"), "no");
    EXPECT_FALSE(controller.playsClickSounds().get());
    EXPECT_TRUE(controller.showsClickSparks().get());
    EXPECT_TRUE(controller.offersClickSparks());
    EXPECT_TRUE(controller.showsMenuBarItem().get());

    controller.start();
    EXPECT_EQ(rig.inputEvents.installedCount(MouseEventType::leftMouseDown), 0u);
    EXPECT_EQ(rig.inputEvents.installedCount(MouseEventType::anyMouseDown), 1u); // the typing witness
    EXPECT_EQ(rig.inputEvents.installedKeyDownCount(), 1u);

    controller.setPlaysClickSounds(true);
    controller.setPlaysKeyPressSounds(true);
    EXPECT_TRUE(rig.defaults.boolForKey("TintraPlaysClickSounds", false));
    EXPECT_EQ(rig.inputEvents.installedCount(MouseEventType::leftMouseDown), 1u);
    EXPECT_EQ(rig.inputEvents.installedKeyDownCount(), 2u);

    rig.inputEvents.mouseDown({ 10, 20 });
    rig.inputEvents.mouseUp({ 10, 20 });
    EXPECT_EQ(rig.sparks.sparks, (std::vector<Point> { Point { 10, 20 } }));
    controller.setPlaysGenericClickSound(false);
    EXPECT_FALSE(controller.clickMonitor().resolver().playsGenericClick);
    rig.inputEvents.mouseDown({ 30, 40 });
    rig.inputEvents.mouseUp({ 30, 40 });
    EXPECT_EQ(rig.sparks.sparks.size(), 1u);
    controller.setShowsClickSparks(false);
    EXPECT_TRUE(rig.sparks.sparks.empty());
    EXPECT_FALSE(rig.defaults.boolForKey("TintraShowsClickSparks", true));
}

TEST_F(ControllerTest, SessionAndDiskNotificationsSoundAndQuittingWaitsForTheLogoutSound)
{
    const auto classic = rig.installSet("classic", { TintraSoundID::logout });
    rig.disks.mount("/Volumes/Backup", { { DADiskDescriptionKey::volumeName, std::string("Backup") } });
    auto& controller = rig.make();
    controller.reloadLibrary();
    controller.setMonitoring(true);
    controller.noteOpenedAtLogin();
    EXPECT_TRUE(controller.recentEvents().get().empty());
    controller.start();

    rig.workspace.post(WorkspaceNotification::didMount, { "/Volumes/Backup", "Backup" });
    rig.workspace.post(WorkspaceNotification::didMount,
        { "/Volumes/com.apple.TimeMachine.localsnapshots/Backups.backupdb", "Snapshot" });
    rig.workspace.post(WorkspaceNotification::sessionDidBecomeActive);
    controller.noteOpenedAtLogin();
    rig.workspace.post(WorkspaceNotification::willPowerOff);
    const auto& recent = controller.recentEvents().get();
    ASSERT_EQ(recent.size(), 4u);
    EXPECT_EQ(recent[0].notificationName, "Disk Mounted");
    EXPECT_EQ(recent[1].detail, "Switched back to this user");
    EXPECT_EQ(recent[1].soundID, TintraSoundID::login);
    EXPECT_EQ(recent[2].detail, "Opened at login");
    EXPECT_EQ(recent[3].notificationName, "Logging Out");
    EXPECT_EQ(recent[3].applicationName, "Logging out, restarting, or shutting down");
    EXPECT_EQ(recent[3].processIdentifier, 0);
    ASSERT_TRUE(controller.player().isPlaying(TintraSoundID::logout));

    bool done = false;
    controller.waitForLogoutSound([&] { done = true; });
    rig.run(milliseconds(100));
    EXPECT_FALSE(done);
    rig.audio.playersOf(soundFile(classic, TintraSoundID::logout)).front()->finish();
    rig.run(milliseconds(50));
    EXPECT_TRUE(done);

    // A sound that never ends holds the quit up for 2 s at most.
    rig.workspace.post(WorkspaceNotification::sessionDidResignActive);
    done = false;
    controller.waitForLogoutSound([&] { done = true; });
    rig.run(milliseconds(1950));
    EXPECT_FALSE(done);
    rig.run(milliseconds(50));
    EXPECT_TRUE(done);
}

TEST_F(ControllerTest, ExcludingFromARowStopsEveryInstanceAndIncludingAttachesAgain)
{
    auto& controller = rig.make();
    rig.launch(mail, "Mail", "com.example.mail");
    rig.launch(44, "Mail", "com.example.mail");
    rig.launch(notes, "Notes", "com.example.notes");
    controller.start();
    rig.run(milliseconds(10));
    ASSERT_EQ(controller.observedApplicationCount().get(), 3);

    controller.excludeApplication("com.example.mail", "Mail");
    EXPECT_EQ(observed(), std::vector { notes });
    EXPECT_TRUE(rig.accessibility.observers(mail).empty());
    EXPECT_EQ(controller.observedApplicationCount().get(), 1);
    EXPECT_TRUE(row("com.example.mail")->isExcluded);
    EXPECT_FALSE(row("com.example.mail")->isObserved);

    controller.includeApplication("com.example.mail");
    rig.run(milliseconds(10));
    EXPECT_EQ(observed(), (std::vector<std::int32_t> { mail, notes, 44 }));
    EXPECT_FALSE(row("com.example.mail")->isExcluded);
    EXPECT_TRUE(row("com.example.mail")->isObserved);
}

TEST_F(ControllerTest, ExcludingAnApplicationFileStopsObservingItWhileItRuns)
{
    rig.defaults.set("TintraPlaysNotificationSounds", true);
    auto& controller = rig.make();
    controller.startIfEnabled();
    rig.launch(mail, "Mail", "com.example.mail");
    ASSERT_EQ(observed(), std::vector { mail });

    const auto entry = rig.folder.path() / "applications" / "com.example.mail.desktop";
    std::filesystem::create_directories(entry.parent_path());
    std::ofstream(entry) << "[Desktop Entry]\nName=Mail\nExec=mail\n";
    ASSERT_TRUE(controller.excludeApplicationFile(entry).has_value());
    EXPECT_TRUE(observed().empty());
    EXPECT_TRUE(row("com.example.mail")->isExcluded);

    const auto notAnEntry = rig.folder.path() / "notes.txt";
    std::ofstream(notAnEntry) << "text";
    EXPECT_FALSE(controller.excludeApplicationFile(notAnEntry).has_value());
}

TEST_F(ControllerTest, AnImportedSetIsInstalledBecomesTheBaselineAndIsHeard)
{
    auto& controller = rig.make();
    const auto dropped = rig.folder.path() / "Dropped.tintraset";
    testing::writeBundle(dropped, "org.example.dropped", "Dropped", { "MenuOpen.wav" });

    controller.transfers().importSets({ dropped });
    rig.run();

    EXPECT_FALSE(controller.transfers().isImportingSets().get());
    EXPECT_EQ(controller.assignments().baselineIdentifier().get(), "org.example.dropped");
    const auto* installed = controller.library().bundle(std::string("org.example.dropped"));
    ASSERT_NE(installed, nullptr);
    EXPECT_TRUE(controller.player().play(menuOpen));
    EXPECT_EQ(rig.startsOf(*installed->url(menuOpen)), 1);
}

} // namespace
} // namespace tintra
