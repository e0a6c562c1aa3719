#include "platform/linux/DesktopWindowsX11.h"
#include "silence/WindowDescription.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

WindowInfo window(xcb_window_t id, pid_t pid, Rect frame)
{
    WindowInfo info;
    info.window = id;
    info.pid = pid;
    info.frame = frame;
    return info;
}

TEST(DesktopWindowsX11, LayersKeepTheProbesRulesOrdinaryWindowsAtZeroFullscreenAtTheScreenSaverAndTheDesktopBelow)
{
    auto info = window(1, 10, { 0, 0, 100, 100 });
    EXPECT_EQ(windowLayer(info), 0);
    info.type = WindowType::dialog;
    EXPECT_EQ(windowLayer(info), 0);
    info.above = true;
    const auto above = windowLayer(info);
    EXPECT_GT(above, 0);
    EXPECT_LT(above, kScreenSaverWindowLevel);
    info.fullscreen = true;
    EXPECT_EQ(windowLayer(info), kScreenSaverWindowLevel) << "fullscreen wins over keep-above";
    info = window(1, 10, { 0, 0, 100, 100 });
    for (auto type : { WindowType::dock, WindowType::notification, WindowType::popupMenu, WindowType::tooltip }) {
        info.type = type;
        EXPECT_GT(windowLayer(info), 0);
        EXPECT_LT(windowLayer(info), kScreenSaverWindowLevel);
    }
    info.type = WindowType::desktop;
    EXPECT_LT(windowLayer(info), 0) << "a desktop window covering the screen is no fullscreen application";
}

TEST(DesktopWindowsX11, TheWindowListIsFrontToBackWithoutMinimisedWindowsAndReadsBackAsTheProbesDescriptions)
{
    auto bottom = window(1, 10, { 0, 0, 1280, 800 });
    auto hidden = window(2, 20, { 5, 5, 50, 50 });
    hidden.hidden = true;
    auto top = window(3, 30, { 10, 20, 300, 200 });
    top.opacity = 0.5;
    auto unknownOwner = window(4, 0, { 1, 2, 3, 4 });
    unknownOwner.pid.reset();

    const auto entries = windowListEntries({ bottom, hidden, top, unknownOwner });
    ASSERT_EQ(entries.size(), 3u);
    std::vector<TintraWindowDescription> described;
    for (const auto& entry : entries)
        described.push_back(*TintraWindowDescription::fromWindowListEntry(*entry.asDictionary()));
    EXPECT_EQ(described[0].processIdentifier, 0);
    EXPECT_EQ(described[1], (TintraWindowDescription { 30, 0, Rect { 10, 20, 300, 200 }, 0.5 }));
    EXPECT_EQ(described[2], (TintraWindowDescription { 10, 0, Rect { 0, 0, 1280, 800 }, 1.0 }));
}

} // namespace
} // namespace tintra
