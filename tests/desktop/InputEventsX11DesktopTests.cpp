#include "input/KeyboardHardware.h"
#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/x11/InputEventsX11.h"
#include "platform/linux/x11/KeyboardHardwareX11.h"
#include "platform/linux/x11/ScreenGeometryX11.h"

#include "desktop/MainLoopWait.h"
#include "desktop/TestWindow.h"
#include "desktop/VirtualDesktop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <vector>

namespace tintra {
namespace {

constexpr pid_t otherProcess = 4242;

class InputEventsX11Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (desktop.skipReason)
            GTEST_SKIP() << *desktop.skipReason;
        input = std::make_unique<InputEventsX11>(executor);
        for (const auto type : { MouseEventType::leftMouseDown, MouseEventType::leftMouseDragged,
                 MouseEventType::leftMouseUp, MouseEventType::anyMouseDown }) {
            const auto token = input->addGlobalMouseMonitor(type, [this](const MouseEvent& event) { mouse.push_back(event); });
            ASSERT_TRUE(token) << desktop.log();
        }
        ASSERT_TRUE(input->addGlobalKeyDownMonitor([this](const KeyDownEvent& event) { keys.push_back(event); }));
    }

    void activate(const TestWindow& window)
    {
        ASSERT_TRUE(iterateUntil([&] { return window.isFramed(); }));
        ASSERT_EQ(desktop.run("xdotool windowactivate --sync " + std::to_string(window.id())), 0) << desktop.log();
        // The adapter's own connection learns of the activation on the loop.
        iterateFor(std::chrono::milliseconds(300));
    }

    // Runs the command while the main loop goes on, as a user's input comes
    // while the program runs: raw events carry no position, the pointer is
    // asked as each one is read.
    int play(const std::string& command)
    {
        auto child = desktop.start({ "sh", "-c", command });
        EXPECT_TRUE(iterateUntil([&] { return !child.isRunning(); }, std::chrono::seconds(30))) << command;
        return child.wait(std::chrono::seconds(1)).value_or(-1);
    }

    std::vector<int> keyCodes() const
    {
        std::vector<int> codes;
        for (const auto& key : keys)
            codes.push_back(key.keyCode);
        return codes;
    }

    std::vector<MouseEvent> of(MouseEventType type) const
    {
        std::vector<MouseEvent> found;
        for (const auto& event : mouse)
            if (event.type == type)
                found.push_back(event);
        return found;
    }

    VirtualDesktop desktop;
    MainExecutorGlib executor;
    std::unique_ptr<InputEventsX11> input;
    std::vector<MouseEvent> mouse;
    std::vector<KeyDownEvent> keys;
};

TEST_F(InputEventsX11Desktop, ClicksAndDragsArriveWithTheirPositionsButNotOnThisProcesssWindows)
{
    TestWindow own("Own", 700, 100, 300, 300, getpid());
    TestWindow other("Other", 100, 100, 300, 300, otherProcess);
    ASSERT_TRUE(iterateUntil([&] { return own.isFramed() && other.isFramed(); })) << desktop.log();

    ASSERT_EQ(play("xdotool mousemove 200 200 sleep 0.2 mousedown 1 sleep 0.2 mousemove_relative 50 60 sleep 0.2 mousemove 600 500 sleep 0.2 mouseup 1"), 0);
    ASSERT_TRUE(iterateUntil([&] { return !of(MouseEventType::leftMouseUp).empty(); })) << desktop.log();
    ASSERT_EQ(of(MouseEventType::leftMouseDown).size(), 1u);
    EXPECT_EQ(of(MouseEventType::leftMouseDown).front().location, (Point { 200, 200 }));
    EXPECT_EQ(of(MouseEventType::anyMouseDown).size(), 1u);
    // The relative move is XTest's motion; the absolute one a warp, which
    // raw motion does not show.
    const auto drags = of(MouseEventType::leftMouseDragged);
    ASSERT_EQ(drags.size(), 2u);
    EXPECT_EQ(drags.front().location, (Point { 250, 260 }));
    EXPECT_EQ(drags.back().location, (Point { 600, 500 }));
    EXPECT_EQ(of(MouseEventType::leftMouseUp).front().location, (Point { 600, 500 }));

    // The right button and the wheel over the desktop: one any-down, no more.
    mouse.clear();
    ASSERT_EQ(play("xdotool mousemove 500 600 sleep 0.2 click 3 click 4 click 5"), 0);
    ASSERT_TRUE(iterateUntil([&] { return !mouse.empty(); })) << desktop.log();
    iterateFor(std::chrono::milliseconds(300));
    ASSERT_EQ(mouse.size(), 1u);
    EXPECT_EQ(mouse.front().type, MouseEventType::anyMouseDown);
    EXPECT_EQ(mouse.front().location, (Point { 500, 600 }));

    // A press on this process's window, dragged out over the other one and
    // released there, belongs to this process from start to end.
    mouse.clear();
    ASSERT_EQ(play("xdotool mousemove 850 250 sleep 0.2 mousedown 1 sleep 0.2 mousemove 200 200 sleep 0.2 mouseup 1 sleep 0.2 mousemove 210 210 sleep 0.2 click 1"), 0);
    ASSERT_TRUE(iterateUntil([&] { return of(MouseEventType::leftMouseUp).size() == 1; })) << desktop.log();
    ASSERT_EQ(of(MouseEventType::leftMouseDown).size(), 1u);
    EXPECT_EQ(of(MouseEventType::leftMouseDown).front().location, (Point { 210, 210 }));
    EXPECT_EQ(of(MouseEventType::leftMouseUp).front().location, (Point { 210, 210 }));
}

TEST_F(InputEventsX11Desktop, KeysGiveVirtualCodesAndTheirProcessRepeatWhileHeldAndNeverForThisProcess)
{
    TestWindow other("Other", 100, 100, 300, 300, otherProcess);
    activate(other);
    ASSERT_EQ(play("xdotool key a z 1 0 Left Right Up Down Return Tab Escape space KP_Enter KP_Add shift+b Shift_L"), 0);
    const std::vector<int> expected { 0, 6, 18, 29, 123, 124, 126, 125, 36, 48, 53, 49, 76, 69, 11 };
    ASSERT_TRUE(iterateUntil([&] { return keys.size() >= expected.size(); })) << desktop.log();
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_EQ(keyCodes(), expected);
    EXPECT_EQ(keys.front().targetProcess, otherProcess);
    EXPECT_EQ(keys.front().keyboardType, 0);

    // Held at the server's delay and rate, it repeats until let go.
    keys.clear();
    ASSERT_EQ(play("xset r rate 200 40 && xdotool keydown c sleep 1 keyup c"), 0);
    ASSERT_TRUE(iterateUntil([&] { return keys.size() >= 5; })) << desktop.log();
    iterateFor(std::chrono::milliseconds(300));
    const auto held = keys.size();
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_EQ(keys.size(), held) << "repeats went on after the release";
    for (const auto& key : keys)
        EXPECT_EQ(key.keyCode, 8);

    keys.clear();
    TestWindow own("Own", 500, 100, 300, 300, getpid());
    activate(own);
    ASSERT_EQ(play("xdotool key a b c"), 0);
    iterateFor(std::chrono::milliseconds(500));
    EXPECT_TRUE(keys.empty());
}

TEST_F(InputEventsX11Desktop, TheKeyboardModelGivesTheLayoutTypeAndTheIsoKeysSwapped)
{
    KeyboardHardwareX11 keyboards;
    TestWindow other("Other", 100, 100, 300, 300, otherProcess);
    activate(other);

    const auto layoutAfter = [&](const std::string& model, std::uint32_t layout) {
        EXPECT_EQ(desktop.run("setxkbmap -model " + model + " -layout us"), 0) << desktop.log();
        std::int64_t type = 0;
        EXPECT_TRUE(iterateUntil([&] {
            type = keyboards.currentKeyboardType();
            return keyboards.layoutType(static_cast<std::uint16_t>(type)) == layout;
        })) << model;
        return type;
    };
    const auto ansi = layoutAfter("pc104", KeyboardHardware::ansiLayoutType);
    ASSERT_EQ(play("xdotool key grave"), 0);
    ASSERT_TRUE(iterateUntil([&] { return keys.size() == 1; }));
    EXPECT_EQ(keys.back().keyCode, 50);

    const auto iso = layoutAfter("pc105", KeyboardHardware::isoLayoutType);
    EXPECT_NE(iso, ansi);
    // Through the adapter's own connection, which hears of the model by itself.
    iterateFor(std::chrono::milliseconds(300));
    ASSERT_EQ(play("xdotool key grave"), 0);
    ASSERT_TRUE(iterateUntil([&] { return keys.size() == 2; }));
    EXPECT_EQ(keys.back().keyCode, 10);

    const auto jis = layoutAfter("jp106", KeyboardHardware::jisLayoutType);
    EXPECT_NE(jis, iso);
    EXPECT_EQ(layoutAfter("pc104", KeyboardHardware::ansiLayoutType), ansi);
    EXPECT_EQ(keyboards.layoutType(static_cast<std::uint16_t>(iso)), KeyboardHardware::isoLayoutType);
}

TEST(ScreenGeometryX11Desktop, ScreensAndThePointerInRootCoordinates)
{
    VirtualDesktop desktop;
    if (desktop.skipReason)
        GTEST_SKIP() << *desktop.skipReason;
    ScreenGeometryX11 screens;
    EXPECT_EQ(screens.screenFrames(), (std::vector<Rect> { { 0, 0, 1280, 800 } }));
    ASSERT_EQ(desktop.run("xdotool mousemove 123 456"), 0);
    EXPECT_EQ(screens.pointerLocation(), (Point { 123, 456 }));

    ASSERT_EQ(desktop.run("xrandr --setmonitor Right 640/170x800/450+640+0 none"
                          " && xrandr --setmonitor '*Left' 640/170x800/450+0+0 screen"),
        0);
    EXPECT_TRUE(iterateUntil([&] {
        return screens.screenFrames() == std::vector<Rect> { { 0, 0, 640, 800 }, { 640, 0, 640, 800 } };
    })) << desktop.capture("xrandr --listmonitors");
}

} // namespace
} // namespace tintra
