#include "ClickScene.h"
#include "fakes/InputEventsFake.h"
#include "input/ClickMonitor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

struct Heard {
    std::string name;
    TintraSoundID sound;
    friend bool operator==(const Heard&, const Heard&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Heard& heard)
    {
        return out << heard.name << " " << heard.sound.description();
    }
};

class ClickMonitorTest : public ::testing::Test, protected ClickScene {
protected:
    ClickMonitorTest()
    {
        monitor = std::make_unique<TintraClickMonitor>(
            input, clock, [this](const TintraEvent& event) { events.push_back(event); },
            [this] { return shouldResolve; }, [this](Point point) { clicks.push_back(point); },
            std::make_unique<TintraClickResolver>(ax, workspace, exclusions.exclusionTest()));
        monitor->start();
        button = add("AXButton", std::nullopt, { { 100, 100 }, { 80, 20 } });
    }

    std::vector<Heard> heard() const
    {
        std::vector<Heard> result;
        for (const auto& event : events)
            result.push_back({ event.notificationName, event.soundID });
        return result;
    }

    static constexpr Point inside { 120, 110 };
    static constexpr Point outside { 300, 300 };

    InputEventsFake input;
    bool shouldResolve = true;
    std::vector<TintraEvent> events;
    std::vector<Point> clicks;
    std::unique_ptr<TintraClickMonitor> monitor;
    AXElement button;
};

TEST_F(ClickMonitorTest, ADragOutAndBackInSoundsExitEnterAndTheRelease)
{
    input.mouseDown(inside);
    input.mouseDragged(outside);
    input.mouseDragged(inside);
    input.mouseUp(inside);

    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" }, { "MouseExit", "btnx" }, { "MouseEnter", "btne" },
                           { "MouseUp", "btnr" } }));
    EXPECT_TRUE(monitor->tracker().isResting());
}

TEST_F(ClickMonitorTest, LettingGoOutsideIsSilent)
{
    input.mouseDown(inside);
    input.mouseDragged(outside);
    input.mouseUp(outside);

    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" }, { "MouseExit", "btnx" } }));
    EXPECT_TRUE(monitor->tracker().isResting());
}

TEST_F(ClickMonitorTest, DragsThatStayOnOneSideSoundOnce)
{
    input.mouseDown(inside);
    input.mouseDragged({ 130, 110 });
    input.mouseDragged({ 140, 115 });
    input.mouseDragged(outside);
    input.mouseDragged({ 310, 300 });

    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" }, { "MouseExit", "btnx" } }));
}

TEST_F(ClickMonitorTest, ScrollBarsAndGenericClicksSoundOnlyThePress)
{
    add("AXScrollBar", std::nullopt, { { 780, 0 }, { 20, 600 } });
    input.mouseDown({ 790, 10 });
    input.mouseDragged({ 100, 10 });
    input.mouseDragged({ 790, 20 });
    input.mouseUp({ 790, 20 });
    input.mouseDown({ 400, 400 });
    input.mouseDragged(inside);
    input.mouseUp({ 400, 400 });

    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "sbtp" }, { "MouseDown", "!mdo" } }));
}

TEST_F(ClickMonitorTest, AFramelessTargetNeverEntersOrExitsAndAlwaysReleases)
{
    ax.setAttributeError(button, "AXSize", AXError::noValue);
    input.mouseDown(inside);
    input.mouseDragged(outside);
    input.mouseDragged(inside);
    input.mouseUp(outside);

    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" }, { "MouseUp", "btnr" } }));
}

TEST_F(ClickMonitorTest, EventsNameTheTargetsProcessAndTheTimeOfTheStep)
{
    input.mouseDown(inside);
    clock.advance(seconds(2));
    input.mouseUp(inside);

    ASSERT_EQ(events.size(), 2u);
    const auto& released = events[1];
    EXPECT_EQ(released.processIdentifier, mail);
    EXPECT_EQ(released.applicationName, "Mail");
    EXPECT_EQ(released.date, clock.now());
    EXPECT_EQ(released.origin, TintraEventOrigin::application);
    EXPECT_FALSE(released.pan || released.element || released.detail || released.application || released.disk);
    EXPECT_LT(events[0].date, released.date);
}

TEST_F(ClickMonitorTest, WhileResolvingIsRefusedAPressTouchesNothing)
{
    ax.setAnswerDelay(mail, seconds(0.01));
    input.mouseDown(inside);
    const auto resolved = clock.monotonicNow();
    shouldResolve = false;
    input.mouseDown(inside);
    input.mouseUp(inside);

    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" } }));
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clock.monotonicNow(), resolved); // the application was not asked again
    EXPECT_EQ(workspace.lookupCount(), 1);
    EXPECT_TRUE(monitor->tracker().isResting()); // the ignored press still ended the tracking
}

TEST_F(ClickMonitorTest, EveryResolvedPressReachesOnClickFoundOrNot)
{
    add("AXMenuItem", std::nullopt, { { 0, 0 }, { 50, 10 } });
    input.mouseDown({ 5, 5 });
    input.mouseDragged(inside);
    input.mouseUp(inside);
    input.mouseDown({ 900, 900 });
    input.mouseDown(inside);

    EXPECT_EQ(clicks, (std::vector<Point> { { 5, 5 }, { 900, 900 }, inside }));
    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" } }));
}

TEST_F(ClickMonitorTest, APressWithoutItsReleaseIsForgottenAtTheNextPress)
{
    input.mouseDown(inside);
    input.mouseDragged(outside);
    input.mouseDown({ 400, 400 }); // the release went elsewhere
    input.mouseDragged(inside);
    input.mouseUp(inside);

    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" }, { "MouseExit", "btnx" }, { "MouseDown", "!mdo" } }));
}

TEST_F(ClickMonitorTest, StartInstallsTheThreeMonitorsOnceInOrder)
{
    monitor->start();
    EXPECT_EQ(input.installedMouseTypes(), (std::vector<MouseEventType> { MouseEventType::leftMouseDown,
                                               MouseEventType::leftMouseDragged, MouseEventType::leftMouseUp }));
    EXPECT_EQ(monitor->monitors().size(), 3u);

    monitor->stop();
    EXPECT_EQ(input.installedCount(), 0u);
    EXPECT_TRUE(monitor->monitors().empty());
    monitor->start();
    EXPECT_EQ(input.installedCount(), 3u);
}

TEST_F(ClickMonitorTest, RefusedMonitorsAreSkipped)
{
    monitor->stop();
    input.refuse(MouseEventType::leftMouseDragged);
    monitor->start();
    EXPECT_EQ(monitor->monitors().size(), 2u);

    input.mouseDown(inside);
    input.mouseUp(inside);
    EXPECT_EQ(heard(), (std::vector<Heard> { { "MouseDown", "btnp" }, { "MouseUp", "btnr" } }));
}

TEST_F(ClickMonitorTest, StopEndsTheTrackingAndForgetsIdentities)
{
    input.mouseDown(inside);
    input.mouseDragged(outside);
    monitor->stop();
    EXPECT_TRUE(monitor->tracker().isResting());
    EXPECT_EQ(monitor->resolver().cachedIdentityCount(), 0u);

    input.mouseUp(inside);
    monitor->start();
    input.mouseUp(inside);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(ClickMonitorTest, ForgettingAProcessReachesTheResolver)
{
    input.mouseDown(inside);
    monitor->forgetProcess(mail);
    EXPECT_EQ(monitor->resolver().cachedIdentityCount(), 0u);
}

TEST_F(ClickMonitorTest, DestroyingTheMonitorRemovesItsMonitors)
{
    monitor.reset();
    EXPECT_EQ(input.installedCount(), 0u);
    input.mouseDown(inside);
    EXPECT_TRUE(events.empty());
}

// --- The tracker by itself: frames that are null or empty

TEST(ClickTrackerTest, AnEmptyFrameCountsAsNoFrame)
{
    TintraClickTracker tracker;
    const TintraClickTarget target { TintraControlKind::checkbox, Rect { 10, 10, 0, 20 }, 42, std::nullopt };

    EXPECT_EQ(tracker.press(target, { 500, 500 }), (TintraClickSound { TintraClickStep::mouseDown, "chkp" }));
    EXPECT_TRUE(tracker.isInside);
    EXPECT_EQ(tracker.drag({ 0, 0 }), std::nullopt);
    EXPECT_EQ(tracker.release({ 900, 900 }), (TintraClickSound { TintraClickStep::mouseUp, "chkr" }));
    EXPECT_TRUE(tracker.isResting());
}

TEST(ClickTrackerTest, APressOutsideTheFrameStartsOutside)
{
    TintraClickTracker tracker;
    tracker.press({ TintraControlKind::radio, Rect { 0, 0, 10, 10 }, 42, std::nullopt }, { 10, 10 }); // the far corner is outside

    EXPECT_FALSE(tracker.isInside);
    EXPECT_EQ(tracker.drag({ 0, 0 }), (TintraClickSound { TintraClickStep::mouseEnter, "rade" }));
    EXPECT_EQ(tracker.release({ 10, 5 }), std::nullopt);
}

TEST(ClickTrackerTest, WhileRestingNothingSounds)
{
    TintraClickTracker tracker;
    EXPECT_EQ(tracker.drag({ 1, 1 }), std::nullopt);
    EXPECT_EQ(tracker.release({ 1, 1 }), std::nullopt);
    EXPECT_TRUE(tracker.isResting());
}

} // namespace
} // namespace tintra
