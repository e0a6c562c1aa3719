#include "app/AppDelegate.h"

#include "fakes/ControllerRig.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace tintra {
namespace {

using std::chrono::milliseconds;

struct AppDelegateTest : ::testing::Test {
    testing::ControllerRig rig;
    TintraController& controller = (rig.defaults.set("TintraPlaysNotificationSounds", true), rig.make());
    TintraRelocation relocation { {}, {}, [](const std::filesystem::path&) { return TintraBundleLocation::acceptable; } };
    TintraBegging begging { rig.defaults, rig.executor };
    int updaterStarts = 0;
    int settingsOpenings = 0;
    int quits = 0;
    AppDelegate delegate { controller, *rig.silence, relocation, begging,
        { .startUpdater = [this] { ++updaterStarts; },
            .openSettings = [this] { ++settingsOpenings; },
            .quit = [this] { ++quits; } } };
};

TEST_F(AppDelegateTest, LaunchAtLoginChoosesABaselineStartsCountsAndSoundsTheLogin)
{
    rig.installSet("classic", { TintraSoundID::login, TintraSoundID::logout });
    controller.library().reload();

    ASSERT_TRUE(delegate.applicationDidFinishLaunching({ .openedAtLogin = true, .bundleURL = "/usr/bin/tintra-dorvel", .environment = {} }));

    EXPECT_EQ(controller.assignments().baselineIdentifier().get(), "classic");
    EXPECT_TRUE(controller.isRunning().get());
    EXPECT_EQ(updaterStarts, 1);
    EXPECT_EQ(rig.defaults.integerForKey(TintraBegging::launchCountKey, 0), 1);
    EXPECT_TRUE(controller.player().isPlaying(TintraSoundID::login));
}

TEST_F(AppDelegateTest, QuittingWaitsForTheLogoutSoundOnlyWhileItPlays)
{
    rig.installSet("classic", { TintraSoundID::logout });
    controller.library().reload();
    delegate.applicationDidFinishLaunching({});

    rig.workspace.post(WorkspaceNotification::willPowerOff);
    ASSERT_TRUE(controller.player().isPlaying(TintraSoundID::logout));
    delegate.applicationShouldTerminate();
    rig.run(milliseconds(1000));
    EXPECT_EQ(quits, 0);
    rig.run(milliseconds(1000));
    EXPECT_EQ(quits, 1);

    delegate.applicationShouldTerminate();
    EXPECT_EQ(quits, 1) << "one quit however often it is asked";
}

TEST_F(AppDelegateTest, OpeningAgainShowsTheSettingsOnlyWhenNoWindowIsOnScreen)
{
    delegate.applicationShouldHandleReopen();
    EXPECT_EQ(settingsOpenings, 1);

    QWidget window;
    window.setWindowTitle("Tintra Dorvel Settings");
    window.show();
    delegate.applicationShouldHandleReopen();
    EXPECT_EQ(settingsOpenings, 1);
}

TEST(ActivationPolicyTest, ABurstOfWindowChangesIsOneChangeAndClosingTheLastWindowMakesAnAccessory)
{
    TintraActivationPolicy policy;
    policy.start();
    EXPECT_EQ(policy.policy(), ActivationPolicy::accessory);

    QWidget window;
    window.show();
    for (int i = 0; i < 5; ++i) {
        window.hide();
        window.show();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(policy.policy(), ActivationPolicy::regular);
    EXPECT_EQ(policy.changeCount(), 1);

    window.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(policy.policy(), ActivationPolicy::accessory);
    EXPECT_EQ(policy.changeCount(), 2);
}

TEST(BeggingTest, TheNoticeComesOnTheSecondNinthAndThirteenthCountedLaunchOnly)
{
    DefaultsMemory defaults;
    ManualClock clock;
    ManualExecutor executor { clock };
    std::vector<int> shownAt;
    for (int launch = 1; launch <= 14; ++launch) {
        TintraBegging begging { defaults, executor };
        begging.noteLaunch(false, {});
        begging.noteLaunch(false, {}); // counted once per process
        executor.runPending();
        if (begging.window() && begging.window()->isVisible())
            shownAt.push_back(launch);
    }
    EXPECT_EQ(shownAt, (std::vector<int> { 2, 9, 13 }));

    TintraBegging test { defaults, executor };
    test.noteLaunch(false, { { "XCTestSessionIdentifier", "1" } });
    TintraBegging readOnly { defaults, executor };
    readOnly.noteLaunch(true, {});
    EXPECT_EQ(defaults.integerForKey(TintraBegging::launchCountKey, 0), 14);
}

} // namespace
} // namespace tintra
