#include "fakes/ManualExecutor.h"
#include "fakes/SilenceFactsFake.h"
#include "fakes/SkyLightPrivateAPIFake.h"
#include "silence/SilenceProbe.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

using std::chrono::milliseconds;

constexpr std::int32_t kFront = 900;
constexpr Rect kScreen { 0, 0, 1440, 900 };
constexpr std::int64_t kScreenSaverLevel = 1000;

struct SilenceProbeTest : testing::Test {
    ManualClock clock;
    ManualExecutor main { clock };
    SilenceFactsFake facts;
    SkyLightPrivateAPIFake skyLight;
    BackgroundExecutor background { main };
    TintraSilenceProbe probe { facts, skyLight, clock, main, background };

    // Waits for the background Focus fetch and applies its result on the "main thread".
    void finishFocusFetch()
    {
        ASSERT_TRUE(main.waitForPost(milliseconds(5000)));
        main.runPending();
    }

    void frontApplication(std::string category)
    {
        facts.frontmost = FrontmostApplication { kFront, "/apps/Front" };
        facts.informationDictionaries["/apps/Front"] = { { "LSApplicationCategoryType", std::move(category) } };
    }
};

TEST_F(SilenceProbeTest, AudioHeldBackByTheSystemMuteOrZeroVolume)
{
    EXPECT_FALSE(probe.audioHeldBack());

    facts.processAudible = 0u;
    EXPECT_TRUE(probe.audioHeldBack()) << "not audible, even at full volume";
    facts.processAudible = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.audioHeldBack()) << "a failed audible read moves on to the device";

    facts.devices[1].mute = 1u;
    facts.devices[1].volume = 0.7f;
    EXPECT_TRUE(probe.audioHeldBack());
    facts.devices[1].mute = 0u;
    facts.devices[1].volume = 0.0f;
    EXPECT_TRUE(probe.audioHeldBack());
    facts.devices[1].volume = 0.01f;
    EXPECT_FALSE(probe.audioHeldBack());

    facts.devices[1].mute = SilenceFactsFake::failure();
    facts.devices[1].volume = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.audioHeldBack());
    facts.devices[1].volume = 0.0f;
    EXPECT_TRUE(probe.audioHeldBack()) << "a failed mute read still looks at the volume";

    facts.defaultOutput = 0u;
    EXPECT_FALSE(probe.audioHeldBack()) << "no output device";
}

TEST_F(SilenceProbeTest, MirroringAnswersWithoutAskingAboutScreenWatchers)
{
    facts.displays = { { 1u, kScreen }, { 2u, Rect { 1440, 0, 1920, 1080 }, true } };
    skyLight.screenWatcherPresent = false;
    EXPECT_TRUE(probe.displayShared());
    EXPECT_EQ(skyLight.screenWatcherQuestions, 0);

    facts.displays[1].mirrored = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.displayShared());
    EXPECT_EQ(skyLight.screenWatcherQuestions, 1);
    skyLight.screenWatcherPresent = true;
    EXPECT_TRUE(probe.displayShared());
    skyLight.screenWatcherPresent = SkyLightPrivateAPIFake::failure();
    EXPECT_FALSE(probe.displayShared());
    facts.displayListFails = true;
    skyLight.screenWatcherPresent = true;
    EXPECT_TRUE(probe.displayShared()) << "no display list still asks about watchers";
}

TEST_F(SilenceProbeTest, MicrophoneCountsOnlyRunningInputDevices)
{
    facts.devices = { { 1u, { .inputStreams = std::size_t { 0 }, .runningSomewhere = 1u } },
        { 2u, { .inputStreams = std::size_t { 2 }, .runningSomewhere = 0u } } };
    EXPECT_FALSE(probe.microphoneInUse()) << "the running device is an output only";
    facts.devices[2].runningSomewhere = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.microphoneInUse());
    facts.devices[2].runningSomewhere = 1u;
    EXPECT_TRUE(probe.microphoneInUse());
    facts.devices[2].inputStreams = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.microphoneInUse());
    facts.deviceListFails = true;
    EXPECT_FALSE(probe.microphoneInUse());
}

TEST_F(SilenceProbeTest, BatteryEstimates)
{
    facts.timeRemaining = -2.0;
    EXPECT_FALSE(probe.onBattery());
    facts.timeRemaining = -1.0;
    EXPECT_TRUE(probe.onBattery()) << "unknown counts as on battery";
    facts.timeRemaining = 5400.0;
    EXPECT_TRUE(probe.onBattery());
    facts.timeRemaining = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.onBattery());
}

TEST_F(SilenceProbeTest, HasBatteryOnlyWithAnInternalBattery)
{
    EXPECT_FALSE(probe.hasBattery());
    facts.powerSources = PropertyList::Array { PropertyList::Dictionary { { "Type", "UPS" } }, "junk",
        PropertyList::Dictionary { { "Type", "InternalBattery" } } };
    EXPECT_TRUE(probe.hasBattery());
    facts.powerSources = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.hasBattery());
}

TEST_F(SilenceProbeTest, DisplaySleepAssertionsOfOtherProcesses)
{
    using Assertions = std::map<std::int32_t, PropertyList::Array>;
    const auto video = [&](PropertyList assertion, std::int32_t process = 77) {
        facts.assertions = Assertions { { process, PropertyList::Array { std::move(assertion) } } };
        return probe.displaySleepAssertionHeldByAnotherProcess();
    };
    EXPECT_FALSE(video(SilenceFactsFake::assertion("PreventUserIdleDisplaySleep", 0)));
    EXPECT_TRUE(video(SilenceFactsFake::assertion("PreventUserIdleDisplaySleep")));
    EXPECT_TRUE(video(SilenceFactsFake::assertion("NoDisplaySleepAssertion", 255)));
    EXPECT_FALSE(video(SilenceFactsFake::assertion("PreventUserIdleDisplaySleep"), facts.ownProcess));
    EXPECT_FALSE(video(SilenceFactsFake::assertion("PreventUserIdleSystemSleep")));

    PropertyList::Dictionary textLevel { { "AssertType", "PreventUserIdleDisplaySleep" }, { "AssertLevel", "0" } };
    EXPECT_TRUE(video(textLevel)) << "a level that is not an integer holds";

    // The true type wins over the declared one, which is only the fallback.
    PropertyList::Dictionary trueType { { "AssertType", "PreventUserIdleDisplaySleep" },
        { "AssertionTrueType", "PreventUserIdleSystemSleep" } };
    EXPECT_FALSE(video(trueType));
    trueType["AssertionTrueType"] = 1;
    EXPECT_TRUE(video(trueType));

    facts.assertions = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.displaySleepAssertionHeldByAnotherProcess());
}

TEST(CoversDisplay, OnePointOfSlackButNoMore)
{
    const auto covers = [](Rect bounds, double alpha = 1.0, std::int64_t layer = 0) {
        return coversDisplay({ { kFront, layer, bounds, alpha } }, kFront, { kScreen }, kScreenSaverLevel);
    };
    EXPECT_TRUE(covers({ 0, 0, 1440, 900 }));
    EXPECT_TRUE(covers({ 1, 0, 1439, 900 }));
    EXPECT_TRUE(covers({ -1, -1, 1442, 902 }));
    EXPECT_FALSE(covers({ 0, 25, 1440, 875 }));
    EXPECT_FALSE(covers({ 1.5, 0, 1438.5, 900 }));

    EXPECT_FALSE(covers({ 0, 0, 1440, 900 }, 0.0));
    EXPECT_TRUE(covers({ 0, 0, 1440, 900 }, 0.01));
    EXPECT_FALSE(covers({ 0, 0, 1440, 900 }, 1.0, 1));
    EXPECT_FALSE(covers({ 0, 0, 1440, 900 }, 1.0, kScreenSaverLevel - 1));
    EXPECT_FALSE(covers({ 0, 0, 1440, 900 }, 1.0, -20));
    EXPECT_TRUE(covers({ 0, 0, 1440, 900 }, 1.0, kScreenSaverLevel));
    EXPECT_TRUE(covers({ 0, 0, 1440, 900 }, 1.0, kScreenSaverLevel + 1));
}

TEST(CoversDisplay, OnlyTheProcessesOwnWindowsAndRealDisplays)
{
    const TintraWindowDescription full { kFront, 0, kScreen, 1.0 };
    EXPECT_FALSE(coversDisplay({ full }, kFront + 1, { kScreen }, kScreenSaverLevel));
    EXPECT_FALSE(coversDisplay({ full }, 0, { kScreen }, kScreenSaverLevel));
    EXPECT_FALSE(coversDisplay({ { 0, 0, kScreen, 1.0 } }, 0, { kScreen }, kScreenSaverLevel));
    EXPECT_FALSE(coversDisplay({ full }, kFront, {}, kScreenSaverLevel));
    EXPECT_FALSE(coversDisplay({}, kFront, { kScreen }, kScreenSaverLevel));
    EXPECT_FALSE(coversDisplay({ full }, kFront, { Rect { 0, 0, 0, 0 } }, kScreenSaverLevel));
    EXPECT_FALSE(coversDisplay({ { kFront, 0, Rect { 0, 0, 0, 900 }, 1.0 } }, kFront, { Rect { 0, 0, 0, 900 } }, kScreenSaverLevel));
    // The second display is covered, the first not.
    EXPECT_TRUE(coversDisplay({ { kFront, 0, Rect { 1440, 0, 1920, 1080 }, 1.0 } }, kFront,
        { kScreen, Rect { 1440, 0, 1920, 1080 } }, kScreenSaverLevel));
}

TEST_F(SilenceProbeTest, ContextKeepsWellFormedWindowsInOrder)
{
    facts.windowList = PropertyList::Array { SilenceFactsFake::windowEntry(3, 0, kScreen), "junk",
        PropertyList::Dictionary { { "kCGWindowOwnerPID", 4 } }, SilenceFactsFake::windowEntry(5, 25, { 0, 0, 10, 10 }, 0.5) };
    facts.displays = { { 1u, kScreen }, { 2u, Rect { 1440, 0, 800, 600 } } };
    const auto context = probe.captureContext();
    ASSERT_EQ(context.windows.size(), 2u);
    EXPECT_EQ(context.windows[0].processIdentifier, 3);
    EXPECT_EQ(context.windows[1], (TintraWindowDescription { 5, 25, Rect { 0, 0, 10, 10 }, 0.5 }));
    EXPECT_EQ(context.displays, (std::vector { kScreen, Rect { 1440, 0, 800, 600 } }));

    facts.displays[1].bounds = SilenceFactsFake::failure();
    facts.windowList = SilenceFactsFake::failure();
    EXPECT_EQ(probe.captureContext(), TintraSilenceContext {});
}

TEST_F(SilenceProbeTest, FullscreenSpaceOrAFrontWindowCoveringADisplay)
{
    const TintraSilenceContext covered { { { kFront, 0, kScreen, 1.0 } }, { kScreen } };
    skyLight.space = 12u;
    skyLight.type = 4;
    EXPECT_TRUE(probe.fullscreen({}));

    skyLight.type = 0;
    EXPECT_FALSE(probe.fullscreen(covered)) << "no application in front";
    facts.frontmost = FrontmostApplication { kFront, std::nullopt };
    EXPECT_TRUE(probe.fullscreen(covered));
    skyLight.space = SkyLightPrivateAPIFake::failure();
    EXPECT_TRUE(probe.fullscreen(covered));
    EXPECT_FALSE(probe.fullscreen({ covered.windows, {} }));
}

TEST_F(SilenceProbeTest, ScreenSaverLevelIsReadOnce)
{
    const TintraSilenceContext raised { { { kFront, kScreenSaverLevel, kScreen, 1.0 } }, { kScreen } };
    facts.frontmost = FrontmostApplication { kFront, std::nullopt };
    EXPECT_TRUE(probe.fullscreen(raised));
    facts.screenSaverLevel = std::int64_t { 5000 };
    EXPECT_TRUE(probe.fullscreen(raised));
    EXPECT_EQ(facts.screenSaverLevelReads, 1);
}

TEST_F(SilenceProbeTest, GameModeSessionRegisteredOnce)
{
    facts.gameModeState = std::uint64_t { 1 };
    EXPECT_TRUE(probe.gameMode({}));
    EXPECT_TRUE(probe.gameMode({}));
    EXPECT_EQ(facts.registeredNames, std::vector<std::string> { "com.apple.gamepolicy.game-mode-session" });

    facts.gameModeState = SilenceFactsFake::failure();
    EXPECT_FALSE(probe.gameMode({}));
}

TEST_F(SilenceProbeTest, FailedRegistrationIsNotRetried)
{
    facts.registration = SilenceFactsFake::failure();
    facts.gameModeState = std::uint64_t { 1 };
    EXPECT_FALSE(probe.gameMode({}));
    EXPECT_FALSE(probe.gameMode({}));
    EXPECT_EQ(facts.registeredNames.size(), 1u);
}

TEST_F(SilenceProbeTest, GamesCategoryAndACoveredDisplay)
{
    const TintraSilenceContext covered { { { kFront, 0, kScreen, 1.0 } }, { kScreen } };
    frontApplication("public.app-category.games");
    EXPECT_TRUE(probe.gameMode(covered));
    EXPECT_FALSE(probe.gameMode({ {}, { kScreen } })) << "a game in a window";

    frontApplication("public.app-category.games.strategy-games");
    EXPECT_TRUE(probe.gameMode(covered));
    frontApplication("public.app-category.gamesx");
    EXPECT_FALSE(probe.gameMode(covered));
    frontApplication("public.app-category.productivity");
    EXPECT_FALSE(probe.gameMode(covered));

    facts.informationDictionaries["/apps/Front"] = { { "LSApplicationCategoryType", 3 } };
    EXPECT_FALSE(probe.gameMode(covered));
    facts.frontmost = FrontmostApplication { kFront, std::nullopt };
    EXPECT_FALSE(probe.gameMode(covered));
}

TEST(SilenceProbeLifetime, DiscardingTheProbeCancelsTheGameModeRegistration)
{
    ManualClock clock;
    ManualExecutor main { clock };
    SilenceFactsFake facts;
    SkyLightPrivateAPIFake skyLight;
    BackgroundExecutor background { main };
    {
        TintraSilenceProbe probe { facts, skyLight, clock, main, background };
        probe.gameMode({});
    }
    EXPECT_EQ(facts.cancelledTokens, std::vector<NotificationToken> { 7 });
}

TEST_F(SilenceProbeTest, FocusArrivesLaterAndIsTrustedForFiveSeconds)
{
    int changes = 0;
    probe.setOnFocusChange([&] { ++changes; });
    facts.setFocus(std::optional<bool>(true));

    EXPECT_FALSE(probe.focusActive()) << "the first test answers before the fetch returns";
    finishFocusFetch();
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(probe.focusActive());
    EXPECT_EQ(facts.focusReads(), 1);

    clock.advance(seconds(4.9));
    EXPECT_TRUE(probe.focusActive());
    EXPECT_FALSE(probe.isFetchingFocus());

    clock.advance(seconds(0.1));
    facts.setFocus(std::optional<bool>(std::nullopt));
    EXPECT_TRUE(probe.focusActive());
    finishFocusFetch();
    EXPECT_FALSE(probe.focusActive()) << "an unknown state counts as no Focus";
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(facts.focusReads(), 2);
}

TEST_F(SilenceProbeTest, OneFocusFetchAtATime)
{
    facts.holdFocusReads();
    EXPECT_FALSE(probe.focusActive());
    EXPECT_FALSE(probe.focusActive());
    EXPECT_TRUE(probe.isFetchingFocus());
    facts.releaseFocusReads();
    finishFocusFetch();
    EXPECT_FALSE(probe.isFetchingFocus());
    EXPECT_EQ(facts.focusReads(), 1);
}

TEST_F(SilenceProbeTest, AnUnchangedFocusStateDoesNotCallBack)
{
    int changes = 0;
    probe.setOnFocusChange([&] { ++changes; });
    facts.setFocus(SilenceFactsFake::failure());
    probe.focusActive();
    finishFocusFetch();
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(probe.focusActive());
}

TEST(SilenceProbeLifetime, AFetchThatReturnsAfterTheProbeIsGoneIsDropped)
{
    ManualClock clock;
    ManualExecutor main { clock };
    SilenceFactsFake facts;
    SkyLightPrivateAPIFake skyLight;
    BackgroundExecutor background { main };
    bool called = false;
    {
        TintraSilenceProbe probe { facts, skyLight, clock, main, background };
        probe.setOnFocusChange([&] { called = true; });
        facts.setFocus(std::optional<bool>(true));
        probe.focusActive();
        ASSERT_TRUE(main.waitForPost(milliseconds(5000)));
    }
    main.runPending();
    EXPECT_FALSE(called);
}

TEST_F(SilenceProbeTest, FocusAccessIsAskedOnlyWhileUndecided)
{
    facts.authorization = FocusAuthorization::denied;
    probe.requestFocusAccessIfUndetermined();
    EXPECT_TRUE(facts.authorizationRequests.empty());

    facts.authorization = FocusAuthorization::notDetermined;
    probe.fetchFocusNow();
    probe.requestFocusAccessIfUndetermined();
    ASSERT_EQ(facts.authorizationRequests.size(), 1u);

    // The answer makes the fetched state stale, so the next test fetches again.
    facts.authorizationRequests[0]();
    main.runPending();
    probe.focusActive();
    EXPECT_TRUE(probe.isFetchingFocus());
    finishFocusFetch();
}

TEST_F(SilenceProbeTest, FetchNowReadsOnTheSpot)
{
    facts.setFocus(std::optional<bool>(true));
    EXPECT_TRUE(probe.fetchFocusNow());
    EXPECT_TRUE(probe.focusActive());
    EXPECT_FALSE(probe.isFetchingFocus()) << "a fresh state needs no background fetch";
}

} // namespace
} // namespace tintra
