#include "engine/Exclusions.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/InputEventsFake.h"
#include "fakes/KeyboardHardwareFake.h"
#include "fakes/ManualClock.h"
#include "fakes/WorkspaceFake.h"
#include "input/KeyPressMonitor.h"

#include <gtest/gtest.h>

#include <vector>

namespace tintra {
namespace {

constexpr std::int32_t kHost = 7;
constexpr std::int32_t kEditor = 42;
constexpr std::int32_t kTerminal = 43;
constexpr int kGrave = 50;
constexpr int kA = 0;

class KeyPressMonitorTest : public ::testing::Test {
protected:
    KeyPressMonitorTest()
    {
        workspace.launch({ kEditor, "Editor", "org.example.Editor" });
        workspace.launch({ kTerminal, "Terminal", "org.example.Terminal" });
        workspace.launch({ kHost, "Tintra Dorvel", "org.tintradorvel.Dorvel" });
        monitor->start();
    }

    std::vector<std::int32_t> processes() const
    {
        std::vector<std::int32_t> result;
        for (const auto& event : events)
            result.push_back(event.processIdentifier);
        return result;
    }

    ManualClock clock;
    InputEventsFake input;
    WorkspaceFake workspace { kHost };
    KeyboardHardwareFake keyboards;
    DefaultsMemory defaults;
    TintraExclusions exclusions { defaults, {} };
    std::vector<TintraEvent> events;
    std::unique_ptr<TintraKeyPressMonitor> monitor = std::make_unique<TintraKeyPressMonitor>(
        input, workspace, keyboards, clock, [this](const TintraEvent& event) { events.push_back(event); }, exclusions.exclusionTest());
};

TEST_F(KeyPressMonitorTest, AKeySoundsForItsProcessPannedByItsPlace)
{
    clock.advance(seconds(3));
    input.keyDown({ kA, 40, kEditor });

    ASSERT_EQ(events.size(), 1u);
    const auto& event = events[0];
    EXPECT_EQ(event.notificationName, "KeyDown");
    EXPECT_EQ(event.soundID, TintraSoundID::keyPress);
    EXPECT_EQ(event.processIdentifier, kEditor);
    EXPECT_EQ(event.applicationName, "Editor");
    EXPECT_EQ(event.date, clock.now());
    EXPECT_EQ(event.origin, TintraEventOrigin::application);
    EXPECT_EQ(event.pan, keyPan(kA, TintraKeyboardLayout::ansi));
    EXPECT_FALSE(event.element || event.detail || event.application || event.disk);
}

TEST_F(KeyPressMonitorTest, WithoutATargetTheFrontmostApplicationHearsIt)
{
    workspace.setFrontmost(kTerminal);
    input.keyDown({ kA, 40, 0 });
    input.keyDown({ kA, 40, kHost });
    input.keyDown({ kA, 40, -5 });

    EXPECT_EQ(processes(), (std::vector<std::int32_t> { kTerminal, kTerminal, kTerminal }));
}

TEST_F(KeyPressMonitorTest, KeysForThisApplicationOrNoApplicationNeverSound)
{
    workspace.setFrontmost(kHost);
    input.keyDown({ kA, 40, 0 });
    input.keyDown({ kA, 40, kHost });
    workspace.setFrontmost(std::nullopt);
    input.keyDown({ kA, 40, 0 });

    EXPECT_TRUE(events.empty());
}

TEST_F(KeyPressMonitorTest, ExcludedApplicationsStaySilentUntilIncluded)
{
    exclusions.exclude("org.example.Editor");
    input.keyDown({ kA, 40, kEditor });
    input.keyDown({ kA, 40, kTerminal });
    exclusions.include("org.example.Editor");
    input.keyDown({ kA, 40, kEditor });

    EXPECT_EQ(processes(), (std::vector<std::int32_t> { kTerminal, kEditor }));
}

TEST_F(KeyPressMonitorTest, TheLayoutComesFromTheKeyboardTypeAndIsAskedOnce)
{
    keyboards.setLayoutType(41, KeyboardHardware::isoLayoutType);
    keyboards.setLayoutType(42, KeyboardHardware::jisLayoutType);
    keyboards.setLayoutType(43, 0x3F3F3F3F); // '????' counts as ANSI

    EXPECT_EQ(monitor->layout(41), TintraKeyboardLayout::iso);
    EXPECT_EQ(monitor->layout(42), TintraKeyboardLayout::jis);
    EXPECT_EQ(monitor->layout(43), TintraKeyboardLayout::ansi);
    EXPECT_EQ(monitor->layout(41), TintraKeyboardLayout::iso);
    EXPECT_EQ(keyboards.layoutQuestions(), 3);

    input.keyDown({ kGrave, 41, kEditor });
    EXPECT_EQ(events.back().pan, keyPan(kGrave, TintraKeyboardLayout::iso));
    monitor->stop(); // layouts stay known
    monitor->start();
    input.keyDown({ kGrave, 41, kEditor });
    EXPECT_EQ(keyboards.layoutQuestions(), 3);
}

TEST_F(KeyPressMonitorTest, AnEventWithoutAKeyboardTypeUsesTheCurrentKeyboard)
{
    keyboards.setLayoutType(41, KeyboardHardware::isoLayoutType);
    keyboards.setCurrentKeyboardType(41);
    input.keyDown({ kGrave, 0, kEditor });

    ASSERT_EQ(events.size(), 1u);
    EXPECT_NEAR(*events[0].pan, -0.7667, 1e-4);
}

TEST_F(KeyPressMonitorTest, KeyboardTypesAreNarrowedToSixteenBitsForTheLayoutQuestion)
{
    keyboards.setLayoutType(41, KeyboardHardware::jisLayoutType);
    EXPECT_EQ(monitor->layout(0x10000 + 41), TintraKeyboardLayout::jis);
}

TEST_F(KeyPressMonitorTest, AnUnknownKeyStillSoundsCentred)
{
    input.keyDown({ 10, 40, kEditor }); // no such key on ANSI
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].pan, 0.0f);
}

TEST_F(KeyPressMonitorTest, IdentitiesAreCachedUntilStopOrTheProcessQuits)
{
    input.keyDown({ kA, 40, kEditor });
    input.keyDown({ kA, 40, kEditor });
    EXPECT_EQ(workspace.lookupCount(), 1);

    workspace.quit(kEditor);
    workspace.launch({ kEditor, "Mail", "org.example.Mail" });
    monitor->forgetProcess(kEditor);
    input.keyDown({ kA, 40, kEditor });
    EXPECT_EQ(events.back().applicationName, "Mail");

    monitor->stop();
    EXPECT_EQ(monitor->cachedIdentityCount(), 0u);
}

TEST_F(KeyPressMonitorTest, AnUnknownProcessSoundsWithoutAName)
{
    input.keyDown({ kA, 40, 999 });
    input.keyDown({ kA, 40, 999 });
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].applicationName, std::nullopt);
    EXPECT_EQ(workspace.lookupCount(), 1);
}

TEST_F(KeyPressMonitorTest, OneMonitorWhileStartedNoneOtherwise)
{
    monitor->start();
    EXPECT_EQ(input.installedKeyDownCount(), 1u);
    EXPECT_TRUE(monitor->monitor().has_value());

    monitor->stop();
    EXPECT_EQ(input.installedKeyDownCount(), 0u);
    input.keyDown({ kA, 40, kEditor });
    EXPECT_TRUE(events.empty());

    input.refuseKeyDown();
    monitor->start();
    EXPECT_FALSE(monitor->monitor().has_value());
}

TEST_F(KeyPressMonitorTest, DestroyingTheMonitorRemovesIt)
{
    monitor.reset();
    EXPECT_EQ(input.installedCount(), 0u);
    input.keyDown({ kA, 40, kEditor });
    EXPECT_TRUE(events.empty());
}

} // namespace
} // namespace tintra
