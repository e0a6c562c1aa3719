#include "ui/MenuBar.h"

#include "fakes/ControllerRig.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace tintra {
namespace {

using Role = TintraMenuBarItem::Role;
using std::chrono::seconds;

TEST(MenuBarItems, ThePartsOrderWithTheReadMeOnlyWhenThereIsOne)
{
    TintraMenuBarState state { .status = { "3 events will play", "Nothing is holding sounds back." },
        .isRunning = true, .playsClickSounds = false, .playsKeyPressSounds = true, .hasTestSound = false,
        .hasReadMe = true, .canCheckForUpdates = false };
    std::vector<std::string> titles;
    for (const auto& item : menuBarItems(state))
        titles.push_back(item.role == Role::separator ? "—" : item.title);
    EXPECT_EQ(titles, (std::vector<std::string> { "3 events will play", "—",
                          "Play Sounds for Accessibility Notifications", "Play Sounds for Clicks",
                          "Play Sounds for Key Presses", "Test Sound", "—", "Settings", "Tintra Dorvel Read Me",
                          "Check for Updates…", "—", "Quit Tintra Dorvel" }));

    const auto items = menuBarItems(state);
    EXPECT_FALSE(items[0].isEnabled) << "the status line is not a button";
    EXPECT_EQ(items[0].help, "Nothing is holding sounds back.");
    EXPECT_EQ(items[2].isChecked, true);
    EXPECT_EQ(items[3].isChecked, false);
    EXPECT_EQ(items[4].isChecked, true);
    EXPECT_FALSE(items[5].isEnabled) << "no file for the menu-open sound";
    EXPECT_FALSE(items[9].isEnabled) << "the updater cannot check";
    EXPECT_EQ(items[7].isChecked, std::nullopt);

    state.hasReadMe = false;
    for (const auto& item : menuBarItems(state))
        EXPECT_NE(item.role, Role::readMe);
}

// The tray on a controller on the fakes, its shell's calls counted.
struct MenuBarTest : ::testing::Test {
    testing::ControllerRig rig;
    TintraController& controller = rig.make();
    Observable<bool> canCheckForUpdates { false };
    bool trusted = true;
    int checks = 0, settings = 0, quits = 0;
    std::vector<std::filesystem::path> opened;
    TemporaryFolder resources;
    std::unique_ptr<TintraMenuBar> menuBar;

    void make()
    {
        menuBar = std::make_unique<TintraMenuBar>(controller, *rig.silence,
            TintraMenuBar::Shell { .canCheckForUpdates = canCheckForUpdates,
                .checkForUpdates = [this] { ++checks; },
                .openSettings = [this] { ++settings; },
                .quit = [this] { ++quits; },
                .isAccessibilityTrusted = [this] { return trusted; },
                .isSandboxed = false,
                .readMe = resources / "Tintra Dorvel ReadMe.html",
                .openDocument = [this](const std::filesystem::path& file) { opened.push_back(file); } });
    }
    QAction& action(Role role) { return menuBar->action(role); }
    std::vector<std::string> visibleTitles()
    {
        std::vector<std::string> titles;
        for (auto* action : menuBar->menu().actions()) {
            if (action->isVisible())
                titles.push_back(action->isSeparator() ? "—" : action->text().toStdString());
        }
        return titles;
    }
    void openMenu() { Q_EMIT menuBar->menu().aboutToShow(); }
};

TEST_F(MenuBarTest, TheMenuShowsTheControllersStateInTheItemsOrder)
{
    rig.installSet("classic", { TintraSoundID::login });
    controller.reloadLibrary();
    controller.start();
    make();

    EXPECT_EQ(visibleTitles(), (std::vector<std::string> { "1 events will play", "—",
                                   "Play Sounds for Accessibility Notifications", "Play Sounds for Clicks",
                                   "Play Sounds for Key Presses", "Test Sound", "—", "Settings",
                                   "Check for Updates…", "—", "Quit Tintra Dorvel" }))
        << "no read-me file yet";
    EXPECT_FALSE(action(Role::status).isEnabled());
    EXPECT_EQ(action(Role::status).toolTip(), "Nothing is holding sounds back.");
    EXPECT_TRUE(action(Role::playsNotificationSounds).isChecked());
    EXPECT_EQ(action(Role::playsClickSounds).isChecked(), controller.playsClickSounds().get());
    EXPECT_EQ(action(Role::playsKeyPressSounds).isChecked(), controller.playsKeyPressSounds().get());
    EXPECT_FALSE(action(Role::testSound).isEnabled()) << "the set has no menu-open sound";
    EXPECT_FALSE(action(Role::checkForUpdates).isEnabled());
    EXPECT_EQ(menuBar->trayIcon().toolTip(), "Tintra Dorvel, playing sounds");
}

TEST_F(MenuBarTest, SwitchesAreBoundBothWays)
{
    controller.start();
    make();
    const bool clicks = controller.playsClickSounds().get();
    action(Role::playsClickSounds).trigger();
    EXPECT_EQ(controller.playsClickSounds().get(), !clicks);
    EXPECT_EQ(rig.defaults.boolForKey("TintraPlaysClickSounds", clicks), !clicks);

    controller.setPlaysKeyPressSounds(!controller.playsKeyPressSounds().get());
    EXPECT_EQ(action(Role::playsKeyPressSounds).isChecked(), controller.playsKeyPressSounds().get());

    action(Role::playsNotificationSounds).trigger();
    EXPECT_FALSE(controller.isRunning().get());
    EXPECT_EQ(menuBar->trayIcon().toolTip(), "Tintra Dorvel, silent: Sounds are switched off");
    EXPECT_EQ(action(Role::status).text(), "Sounds are switched off");

    controller.setPlaysNotificationSounds(true);
    EXPECT_TRUE(action(Role::playsNotificationSounds).isChecked());
}

TEST_F(MenuBarTest, ItemsFollowWhatTheyDependOn)
{
    controller.start();
    make();
    EXPECT_EQ(menuBar->trayIcon().toolTip(), "Tintra Dorvel, silent: Nothing installed has a sound to play");

    rig.installSet("classic", { TintraSoundID("mnuo") });
    controller.reloadLibrary();
    EXPECT_TRUE(action(Role::testSound).isEnabled());
    action(Role::testSound).trigger();
    EXPECT_TRUE(controller.player().isPlaying(TintraSoundID("mnuo")));

    controller.player().setMasterVolume(0);
    EXPECT_EQ(menuBar->trayIcon().toolTip(), "Tintra Dorvel, silent: The volume is all the way down");
    controller.player().setMasterVolume(1);

    rig.silence->setEnabled(true, TintraSilenceReason::videoPlayback);
    rig.holding.insert(TintraSilenceReason::videoPlayback);
    rig.run(seconds(1));
    rig.silence->currentReason(); // what a sound about to play asks
    EXPECT_EQ(menuBar->trayIcon().toolTip(), "Tintra Dorvel, silent: A video is playing");

    canCheckForUpdates.set(true);
    EXPECT_TRUE(action(Role::checkForUpdates).isEnabled());
    action(Role::checkForUpdates).trigger();
    EXPECT_EQ(checks, 1);

    controller.setShowsMenuBarItem(false);
    EXPECT_FALSE(menuBar->trayIcon().isVisible());
}

TEST_F(MenuBarTest, OpeningTheMenuReadsTrustAgainAndFindsTheReadMe)
{
    rig.installSet("classic", { TintraSoundID::login });
    controller.reloadLibrary();
    controller.start();
    trusted = false;
    make();
    EXPECT_EQ(menuBar->trayIcon().toolTip(), "Tintra Dorvel, silent: Accessibility access has not been granted");

    trusted = true;
    std::ofstream(resources / "Tintra Dorvel ReadMe.html") << "<h1>Read me</h1>";
    openMenu();
    EXPECT_EQ(menuBar->trayIcon().toolTip(), "Tintra Dorvel, playing sounds");
    ASSERT_TRUE(action(Role::readMe).isVisible());
    action(Role::readMe).trigger();
    EXPECT_EQ(opened, std::vector<std::filesystem::path> { resources / "Tintra Dorvel ReadMe.html" });

    action(Role::settings).trigger();
    action(Role::quit).trigger();
    EXPECT_EQ(settings, 1);
    EXPECT_EQ(quits, 1);
}

TEST_F(MenuBarTest, TheControllerMayOutliveTheMenu)
{
    controller.start();
    make();
    menuBar.reset();
    controller.setPlaysClickSounds(!controller.playsClickSounds().get());
    canCheckForUpdates.set(true);
    rig.silence->setEnabled(true, TintraSilenceReason::videoPlayback);
    rig.holding.insert(TintraSilenceReason::videoPlayback);
    rig.run(seconds(1));
    EXPECT_EQ(rig.silence->currentReason(), TintraSilenceReason::videoPlayback);
}

} // namespace
} // namespace tintra
