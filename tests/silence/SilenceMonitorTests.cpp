#include "fakes/DefaultsMemory.h"
#include "fakes/ManualExecutor.h"
#include "fakes/SilenceFactsFake.h"
#include "fakes/SkyLightPrivateAPIFake.h"
#include "silence/SilenceMonitor.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

using std::chrono::milliseconds;
using Reason = TintraSilenceReason;

struct SilenceMonitorTest : testing::Test {
    ManualClock clock;
    ManualExecutor main { clock };
    DefaultsMemory defaults;
    SilenceFactsFake facts;
    SkyLightPrivateAPIFake skyLight;
    BackgroundExecutor background { main };

    // Reasons that hold for the scripted answer, and the questions it was asked.
    std::set<Reason> holding;
    std::vector<Reason> asked;
    std::vector<TintraSilenceContext> contexts;

    std::unique_ptr<TintraSilenceMonitor> make(bool hasBattery = true, bool scripted = true)
    {
        auto probe = std::make_unique<TintraSilenceProbe>(facts, skyLight, clock, main, background);
        TintraSilenceMonitor::Answer answer;
        if (scripted) {
            answer = [this](Reason reason, const TintraSilenceContext& context) {
                asked.push_back(reason);
                contexts.push_back(context);
                return holding.contains(reason);
            };
        }
        return std::make_unique<TintraSilenceMonitor>(defaults, std::move(probe), hasBattery, clock, std::move(answer));
    }

    void enableOnly(TintraSilenceMonitor& monitor, std::set<Reason> reasons)
    {
        for (auto reason : allSilenceReasons)
            monitor.setEnabled(reasons.contains(reason), reason);
    }
};

TEST_F(SilenceMonitorTest, DefaultsWhenNothingIsStored)
{
    auto monitor = make();
    EXPECT_EQ(monitor->enabledReasons(), (std::set { Reason::audioHeldBack, Reason::sharedDisplay, Reason::gameMode,
                                             Reason::microphoneInUse, Reason::videoPlayback }));
    EXPECT_EQ(monitor->availableReasons(), std::vector(allSilenceReasons.begin(), allSilenceReasons.end()));
    EXPECT_EQ(monitor->freshness(), seconds(0.5));
    EXPECT_EQ(defaults.writeCount(), 0);
}

TEST_F(SilenceMonitorTest, StoredSwitchesWinOnlyWhenTheyAreBooleans)
{
    defaults.set("TintraMutesForFocus", true);
    defaults.set("TintraMutesForAudioHeldBack", false);
    defaults.set("TintraMutesForGameMode", 0);
    defaults.set("TintraMutesForFullscreenApplication", "YES");
    auto monitor = make();
    EXPECT_TRUE(monitor->isEnabled(Reason::focus));
    EXPECT_FALSE(monitor->isEnabled(Reason::audioHeldBack));
    EXPECT_TRUE(monitor->isEnabled(Reason::gameMode));
    EXPECT_FALSE(monitor->isEnabled(Reason::fullscreenApplication));
}

TEST_F(SilenceMonitorTest, SwitchesAreStoredAndReadBack)
{
    {
        auto monitor = make();
        monitor->setEnabled(true, Reason::fullscreenApplication);
        monitor->setEnabled(false, Reason::videoPlayback);
        EXPECT_EQ(defaults.valueForKey("TintraMutesForFullscreenApplication"), PropertyList(true));
        EXPECT_EQ(defaults.valueForKey("TintraMutesForVideoPlayback"), PropertyList(false));
    }
    auto again = make();
    EXPECT_TRUE(again->isEnabled(Reason::fullscreenApplication));
    EXPECT_FALSE(again->isEnabled(Reason::videoPlayback));
}

TEST_F(SilenceMonitorTest, ADesktopHasNoBatterySwitch)
{
    defaults.set("TintraMutesForBatteryPower", true);
    auto monitor = make(false);
    const auto& available = monitor->availableReasons();
    EXPECT_EQ(std::find(available.begin(), available.end(), Reason::onBattery), available.end());
    EXPECT_EQ(available.size(), 7u);
    EXPECT_FALSE(monitor->isEnabled(Reason::onBattery)) << "the stored switch is not read";

    const int writes = defaults.writeCount();
    monitor->setEnabled(true, Reason::onBattery);
    EXPECT_FALSE(monitor->isEnabled(Reason::onBattery));
    EXPECT_EQ(defaults.writeCount(), writes);

    holding = { Reason::onBattery };
    EXPECT_EQ(monitor->currentReason(), std::nullopt);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), Reason::onBattery), 0);
}

TEST_F(SilenceMonitorTest, AllSwitchesOffQueriesNothing)
{
    auto monitor = make(true, false);
    enableOnly(*monitor, {});
    EXPECT_FALSE(monitor->anyReasonEnabled());
    facts.processAudible = 0u;
    facts.queries = 0;
    EXPECT_EQ(monitor->currentReason(), std::nullopt);
    EXPECT_EQ(facts.queries, 0);
    EXPECT_EQ(skyLight.screenWatcherQuestions + skyLight.spaceQuestions, 0);
}

TEST_F(SilenceMonitorTest, TestsInOrderAndStopsAtTheFirstThatHolds)
{
    auto monitor = make();
    enableOnly(*monitor, { Reason::audioHeldBack, Reason::microphoneInUse, Reason::fullscreenApplication });
    holding = { Reason::audioHeldBack, Reason::fullscreenApplication };
    EXPECT_EQ(monitor->currentReason(), Reason::audioHeldBack);
    EXPECT_EQ(asked, std::vector { Reason::audioHeldBack });

    holding = { Reason::fullscreenApplication };
    asked.clear();
    clock.advance(seconds(0.5));
    EXPECT_EQ(monitor->currentReason(), Reason::fullscreenApplication);
    EXPECT_EQ(asked, (std::vector { Reason::audioHeldBack, Reason::microphoneInUse, Reason::fullscreenApplication }));
}

TEST_F(SilenceMonitorTest, AudioHeldBackHidesFullscreenWithTheRealProbes)
{
    auto monitor = make(true, false);
    enableOnly(*monitor, { Reason::audioHeldBack, Reason::fullscreenApplication });
    facts.processAudible = 0u;
    skyLight.space = 3u;
    skyLight.type = 4;
    EXPECT_EQ(monitor->currentReason(), Reason::audioHeldBack);
    EXPECT_EQ(skyLight.spaceQuestions, 0);

    facts.processAudible = 1u;
    clock.advance(seconds(0.5));
    EXPECT_EQ(monitor->currentReason(), Reason::fullscreenApplication);
}

TEST_F(SilenceMonitorTest, TheWindowListIsTakenOnlyForWindowReasonsAndOnce)
{
    facts.windowList = PropertyList::Array { SilenceFactsFake::windowEntry(9, 0, { 0, 0, 1440, 900 }) };
    auto monitor = make();
    enableOnly(*monitor, { Reason::audioHeldBack, Reason::videoPlayback });
    monitor->currentReason();
    EXPECT_EQ(facts.windowListReads, 0);
    ASSERT_FALSE(contexts.empty());
    EXPECT_EQ(contexts.back(), TintraSilenceContext {});

    monitor->setEnabled(true, Reason::gameMode);
    monitor->setEnabled(true, Reason::fullscreenApplication);
    contexts.clear();
    monitor->currentReason();
    EXPECT_EQ(facts.windowListReads, 1);
    ASSERT_EQ(contexts.size(), 4u);
    for (const auto& context : contexts) {
        ASSERT_EQ(context.windows.size(), 1u);
        EXPECT_EQ(context.windows[0].processIdentifier, 9);
        EXPECT_EQ(context.displays, (std::vector { Rect { 0, 0, 1440, 900 } }));
    }
}

TEST_F(SilenceMonitorTest, AnAnswerStaysFreshForHalfASecond)
{
    auto monitor = make();
    enableOnly(*monitor, { Reason::videoPlayback });
    holding = { Reason::videoPlayback };
    EXPECT_EQ(monitor->currentReason(), Reason::videoPlayback);
    holding = {};
    clock.advance(seconds(0.3));
    EXPECT_EQ(monitor->currentReason(), Reason::videoPlayback);
    EXPECT_EQ(monitor->cachedReason(), Reason::videoPlayback);
    EXPECT_EQ(asked.size(), 1u);
    clock.advance(seconds(0.3));
    EXPECT_EQ(monitor->currentReason(), std::nullopt);
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(SilenceMonitorTest, ASwitchChangeMakesTheNextQuestionEvaluate)
{
    auto monitor = make();
    enableOnly(*monitor, { Reason::videoPlayback });
    holding = { Reason::videoPlayback, Reason::focus };
    EXPECT_EQ(monitor->currentReason(), Reason::videoPlayback);
    clock.advance(seconds(0.1));
    monitor->setEnabled(false, Reason::videoPlayback);
    EXPECT_EQ(monitor->currentReason(), std::nullopt);
    monitor->setEnabled(true, Reason::focus);
    EXPECT_EQ(monitor->currentReason(), Reason::focus);
}

TEST_F(SilenceMonitorTest, OnChangeOncePerChange)
{
    auto monitor = make();
    std::vector<std::optional<Reason>> changes;
    monitor->setOnChange([&](std::optional<Reason> reason) { changes.push_back(reason); });
    std::vector<std::optional<Reason>> observed;
    auto subscription = monitor->observeNoticedReason([&](const std::optional<Reason>& reason) { observed.push_back(reason); });

    EXPECT_EQ(monitor->currentReason(), std::nullopt);
    EXPECT_TRUE(changes.empty());

    holding = { Reason::videoPlayback };
    clock.advance(seconds(1));
    monitor->currentReason();
    monitor->currentReason();
    clock.advance(seconds(1));
    monitor->currentReason();

    holding = {};
    clock.advance(seconds(1));
    monitor->currentReason();
    clock.advance(seconds(1));
    monitor->currentReason();

    EXPECT_EQ(changes, (std::vector<std::optional<Reason>> { Reason::videoPlayback, std::nullopt }));
    EXPECT_EQ(observed, changes);
    EXPECT_EQ(monitor->noticedReason(), std::nullopt);
}

TEST_F(SilenceMonitorTest, CachedReasonTellsNobody)
{
    auto monitor = make();
    int changes = 0;
    monitor->setOnChange([&](std::optional<Reason>) { ++changes; });
    holding = { Reason::gameMode };
    EXPECT_EQ(monitor->cachedReason(), Reason::gameMode);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(monitor->currentReason(), Reason::gameMode);
    EXPECT_EQ(changes, 1);
}

TEST_F(SilenceMonitorTest, AFocusArrivingLaterIsNoticedAtOnce)
{
    auto monitor = make(true, false);
    enableOnly(*monitor, { Reason::focus });
    std::vector<std::optional<Reason>> changes;
    monitor->setOnChange([&](std::optional<Reason> reason) { changes.push_back(reason); });
    facts.setFocus(std::optional<bool>(true));

    EXPECT_EQ(monitor->currentReason(), std::nullopt);
    ASSERT_TRUE(main.waitForPost(milliseconds(5000)));
    main.runPending();
    // Within the half second of the first answer, yet noticed without anybody asking.
    EXPECT_EQ(changes, std::vector<std::optional<Reason>> { Reason::focus });
    EXPECT_EQ(monitor->cachedReason(), Reason::focus);
}

TEST_F(SilenceMonitorTest, FocusAccessAndRefresh)
{
    facts.authorization = FocusAuthorization::notDetermined;
    auto monitor = make(true, false);
    EXPECT_FALSE(monitor->needsFocusAccess()) << "the Focus switch is off";
    monitor->setEnabled(true, Reason::focus);
    EXPECT_TRUE(monitor->needsFocusAccess());
    EXPECT_EQ(facts.authorizationRequests.size(), 1u);
    facts.authorization = FocusAuthorization::authorized;
    EXPECT_FALSE(monitor->needsFocusAccess());

    enableOnly(*monitor, { Reason::focus });
    facts.setFocus(std::optional<bool>(false));
    monitor->refreshFocus();
    EXPECT_EQ(monitor->currentReason(), std::nullopt);
    EXPECT_EQ(facts.focusReads(), 1);

    facts.setFocus(std::optional<bool>(true));
    clock.advance(seconds(0.1));
    monitor->refreshFocus();
    EXPECT_EQ(monitor->currentReason(), Reason::focus) << "the menu opening re-reads the Focus state";
    EXPECT_FALSE(monitor->probe().isFetchingFocus());

    monitor->setEnabled(false, Reason::focus);
    monitor->refreshFocus();
    EXPECT_EQ(facts.focusReads(), 2);
}

TEST_F(SilenceMonitorTest, EnabledReasonsAreObservable)
{
    auto monitor = make();
    int told = 0;
    auto subscription = monitor->observeEnabledReasons([&](const std::set<Reason>&) { ++told; });
    monitor->setEnabled(true, Reason::focus);
    monitor->setEnabled(true, Reason::focus);
    monitor->setEnabled(false, Reason::focus);
    EXPECT_EQ(told, 2);
}

} // namespace
} // namespace tintra
