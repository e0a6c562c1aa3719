#include "fakes/InputEventsFake.h"
#include "input/InputWitness.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

constexpr int kKeyA = 0;
constexpr int kUpArrow = 126;

struct InputWitnessTest : testing::Test {
    InputEventsFake events;
    TintraInputWitness witness { events };
};

TEST_F(InputWitnessTest, LetterKeysAreTypingArrowsAndClicksAreNot)
{
    witness.start();
    EXPECT_FALSE(witness.isTyping());

    events.keyDown({ kKeyA });
    EXPECT_TRUE(witness.isTyping());
    events.keyDown({ kUpArrow });
    EXPECT_FALSE(witness.isTyping());

    events.keyDown({ kKeyA });
    events.mouseDown({ 10, 10 });
    EXPECT_FALSE(witness.isTyping());

    events.keyDown({ kKeyA });
    events.mouseDown({ 10, 10 }, InputEventsFake::MouseButton::right);
    EXPECT_FALSE(witness.isTyping());
}

TEST_F(InputWitnessTest, EveryNavigationKeyEndsTyping)
{
    witness.start();
    const int navigation[] = { 126, 125, 123, 124, 116, 121, 115, 119, 36, 76, 53, 48 };
    for (int code : navigation) {
        events.keyDown({ kKeyA });
        events.keyDown({ code });
        EXPECT_FALSE(witness.isTyping()) << "key code " << code;
    }
    // Neighbours of navigation codes are ordinary keys: 117 forward delete, 77 and 52 unassigned.
    for (int code : { 117, 77, 52, 49 }) {
        events.keyDown({ kUpArrow });
        events.keyDown({ code });
        EXPECT_TRUE(witness.isTyping()) << "key code " << code;
    }
}

TEST_F(InputWitnessTest, StartingTwiceInstallsOnceAndStopRemovesEverything)
{
    witness.start();
    witness.start();
    EXPECT_EQ(events.installedKeyDownCount(), 1u);
    EXPECT_EQ(events.installedCount(MouseEventType::anyMouseDown), 1u);
    EXPECT_EQ(events.installedCount(), 2u);
    EXPECT_EQ(witness.monitors().size(), 2u);

    events.keyDown({ kKeyA });
    witness.stop();
    EXPECT_FALSE(witness.isTyping());
    EXPECT_EQ(events.installedCount(), 0u);
    EXPECT_TRUE(witness.monitors().empty());

    events.keyDown({ kKeyA });
    EXPECT_FALSE(witness.isTyping());

    witness.start();
    EXPECT_EQ(events.installedCount(), 2u);
}

TEST_F(InputWitnessTest, RefusedMonitorsAreSkipped)
{
    events.refuseKeyDown();
    witness.start();
    EXPECT_EQ(witness.monitors().size(), 1u);
    events.keyDown({ kKeyA });
    EXPECT_FALSE(witness.isTyping());

    // With only the mouse monitor installed, start still does not install again.
    witness.start();
    EXPECT_EQ(events.installationRequests(), 2);
}

TEST_F(InputWitnessTest, DestructionRemovesTheMonitors)
{
    {
        TintraInputWitness other(events);
        other.start();
        EXPECT_EQ(events.installedCount(), 2u);
    }
    EXPECT_EQ(events.installedCount(), 0u);
    events.keyDown({ kKeyA }); // must not reach the destroyed witness
}

} // namespace
} // namespace tintra
