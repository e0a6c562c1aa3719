#include "platform/linux/files/DesktopEntries.h"
#include "platform/linux/x11/RandrMonitors.h"
#include "platform/linux/x11/WindowFacts.h"
#include "platform/linux/x11/XcbConnection.h"

#include "desktop/MainLoopWait.h"
#include "desktop/TestWindow.h"
#include "desktop/VirtualDesktop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <vector>

namespace tintra {
namespace {

class WindowFactsDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (desktop.skipReason)
            GTEST_SKIP() << *desktop.skipReason;
        auto opened = XcbConnection::open();
        ASSERT_TRUE(opened) << opened.error();
        connection = std::move(*opened);
        facts = std::make_unique<WindowFacts>(*connection);
    }

    bool listed(xcb_window_t window) const { return facts->window(window).has_value(); }
    std::string id(xcb_window_t window) const { return std::to_string(window); }

    VirtualDesktop desktop;
    std::unique_ptr<XcbConnection> connection;
    std::unique_ptr<WindowFacts> facts;
};

TEST_F(WindowFactsDesktop, ListsAMappedWindowWithItsProcessTitleAndRootGeometryAndDropsItWhenItGoes)
{
    int listChanges = 0;
    auto subscription = facts->onClientListChanged([&] { ++listChanges; });
    auto window = std::make_unique<TestWindow>("Facts Window", 200, 150, 320, 240, 4242);
    const xcb_window_t xid = window->id();
    ASSERT_TRUE(iterateUntil([&] { return listed(xid); })) << desktop.log();
    EXPECT_GE(listChanges, 1);

    const auto info = *facts->window(xid);
    EXPECT_EQ(info.pid, 4242);
    EXPECT_EQ(info.title, "Facts Window");
    EXPECT_EQ(info.type, WindowType::normal);
    EXPECT_FALSE(info.hidden);
    EXPECT_FALSE(info.opacity.has_value());
    // Framed by the window manager, so the client sits inside the asked place,
    // never at the frame's own origin of 0,0 relative to its parent.
    EXPECT_EQ(info.frame.width, 320);
    EXPECT_EQ(info.frame.height, 240);
    EXPECT_NEAR(info.frame.x, 200, 30);
    EXPECT_NEAR(info.frame.y, 150, 40);
    ASSERT_TRUE(facts->windowAt({ info.frame.x + 10, info.frame.y + 10 }));
    EXPECT_EQ(facts->windowAt({ info.frame.x + 10, info.frame.y + 10 })->window, xid);
    EXPECT_FALSE(facts->windowAt({ 1270, 790 }));

    window.reset();
    EXPECT_TRUE(iterateUntil([&] { return !listed(xid); })) << desktop.log();
}

TEST_F(WindowFactsDesktop, ToldOfAPopUpShownAndHiddenWithItsTypeAndProcessThoughItIsNoListedWindow)
{
    std::vector<std::pair<PopUpWindow, bool>> told;
    auto subscription = facts->onPopUp([&](const PopUpWindow& popUp, bool shown) { told.emplace_back(popUp, shown); });
    auto tip = std::make_unique<TestWindow>("Tip", 100, 100, 80, 20, 4243, "_NET_WM_WINDOW_TYPE_TOOLTIP");
    const xcb_window_t xid = tip->id();
    ASSERT_TRUE(iterateUntil([&] { return !told.empty(); })) << desktop.log();
    EXPECT_EQ(told[0].first.window, xid);
    EXPECT_EQ(told[0].first.pid, 4243);
    EXPECT_EQ(told[0].first.type, WindowType::tooltip);
    EXPECT_TRUE(told[0].second);
    EXPECT_FALSE(listed(xid));

    tip.reset();
    ASSERT_TRUE(iterateUntil([&] { return told.size() == 2; })) << desktop.log();
    EXPECT_EQ(told[1].first.window, xid);
    EXPECT_EQ(told[1].first.type, WindowType::tooltip);
    EXPECT_FALSE(told[1].second);
}

// What a GTK application's window names of its application leads to its desktop entry: the
// application ID first, else the window's class.
TEST_F(WindowFactsDesktop, AGtkApplicationsWindowNamesItsApplicationAndClassWhichFindItsDesktopEntry)
{
    if (desktop.run("/usr/bin/python3 -c 'import gi; gi.require_version(\"Gtk\", \"3.0\")' 2>/dev/null") != 0)
        GTEST_SKIP() << "Python's GTK 3 bindings (gir1.2-gtk-3.0, python3-gi) are not installed";
    const auto folder = desktop.folder() / "data" / "applications";
    std::filesystem::create_directories(folder);
    const std::string id = "org.tintradorvel.test.Hinted";
    auto program = desktop.start({ "/usr/bin/python3", "-c",
        "import gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk\n"
        "app = Gtk.Application(application_id='" + id + "')\n"
        "app.connect('activate', lambda a: Gtk.ApplicationWindow(application=a, title='Hinted').show_all())\n"
        "app.run(None)" });
    std::optional<WindowInfo> window;
    ASSERT_TRUE(iterateUntil([&] {
        const auto& all = facts->windows();
        const auto found = std::find_if(all.begin(), all.end(), [&](const WindowInfo& each) { return each.pid == program.pid(); });
        return found != all.end() && (window = *found, true);
    }, std::chrono::seconds(20))) << desktop.log();
    EXPECT_EQ(window->applicationID, id);
    ASSERT_FALSE(window->windowClass.empty());

    std::ofstream(folder / (id + ".desktop")) << "[Desktop Entry]\nType=Application\nName=Hinted\nExec=false\n";
    std::ofstream(folder / "org.tintradorvel.test.Classy.desktop")
        << "[Desktop Entry]\nType=Application\nName=Classy\nExec=false\nStartupWMClass=" << window->windowClass << "\n";
    EXPECT_EQ(desktopEntryOfProcess(program.pid(), { { window->applicationID }, { window->windowClass } }), folder / (id + ".desktop"));
    EXPECT_EQ(desktopEntryOfProcess(program.pid(), { {}, { window->windowClass } }), folder / "org.tintradorvel.test.Classy.desktop");
    // An ID without an entry falls through to the process's other traces (here the interpreter's own entry).
    EXPECT_EQ(desktopEntryOfProcess(program.pid(), { { "org.tintradorvel.test.Missing" }, {} }), desktopEntryOfProcess(program.pid()));
}

TEST_F(WindowFactsDesktop, ToldOfMovesResizesMinimisingFullscreenAndOpacity)
{
    TestWindow window("Changing", 100, 100, 300, 200, getpid());
    const xcb_window_t xid = window.id();
    ASSERT_TRUE(iterateUntil([&] { return listed(xid); })) << desktop.log();
    std::vector<std::pair<WindowInfo, WindowInfo>> changes;
    auto subscription = facts->onWindowChanged([&](const WindowInfo& before, const WindowInfo& after) {
        changes.emplace_back(before, after);
    });
    const auto now = [&] { return *facts->window(xid); };

    ASSERT_EQ(desktop.run("xdotool windowmove " + id(xid) + " 400 300"), 0);
    ASSERT_TRUE(iterateUntil([&] { return now().frame.x >= 400 && now().frame.y >= 300; })) << desktop.log();
    ASSERT_FALSE(changes.empty());
    EXPECT_LT(changes.front().first.frame.x, 400);
    EXPECT_EQ(changes.back().second, now());

    ASSERT_EQ(desktop.run("xdotool windowsize " + id(xid) + " 500 350"), 0);
    EXPECT_TRUE(iterateUntil([&] { return now().frame.width == 500 && now().frame.height == 350; })) << desktop.log();

    ASSERT_EQ(desktop.run("xdotool windowminimize " + id(xid)), 0);
    EXPECT_TRUE(iterateUntil([&] { return now().hidden; })) << desktop.log();
    EXPECT_FALSE(facts->windowAt({ now().frame.x + 5, now().frame.y + 5 }).has_value() && facts->windowAt({ now().frame.x + 5, now().frame.y + 5 })->window == xid);
    ASSERT_EQ(desktop.run("xdotool windowactivate --sync " + id(xid)), 0);
    EXPECT_TRUE(iterateUntil([&] { return !now().hidden; })) << desktop.log();

    ASSERT_EQ(desktop.run("wmctrl -i -r " + id(xid) + " -b add,fullscreen"), 0);
    EXPECT_TRUE(iterateUntil([&] { return now().fullscreen && now().frame == Rect { 0, 0, 1280, 800 }; })) << desktop.log();
    ASSERT_EQ(desktop.run("wmctrl -i -r " + id(xid) + " -b add,above"), 0);
    EXPECT_TRUE(iterateUntil([&] { return now().above; })) << desktop.log();

    ASSERT_EQ(desktop.run("xprop -id " + id(xid) + " -f _NET_WM_WINDOW_OPACITY 32c -set _NET_WM_WINDOW_OPACITY 2147483647"), 0);
    ASSERT_TRUE(iterateUntil([&] { return now().opacity.has_value(); })) << desktop.log();
    EXPECT_NEAR(*now().opacity, 0.5, 0.001);
}

TEST_F(WindowFactsDesktop, FollowsTheActiveWindowAndTheStackingOrder)
{
    TestWindow first("First", 50, 50, 200, 200, getpid());
    TestWindow second("Second", 400, 50, 200, 200, getpid());
    first.setProperty("_NET_WM_WINDOW_TYPE", "ATOM", "_NET_WM_WINDOW_TYPE_DIALOG");
    ASSERT_TRUE(iterateUntil([&] { return listed(first.id()) && listed(second.id()); })) << desktop.log();
    EXPECT_TRUE(iterateUntil([&] { return facts->window(first.id())->type == WindowType::dialog; }));

    std::vector<std::optional<xcb_window_t>> told;
    auto subscription = facts->onActiveWindowChanged([&](std::optional<xcb_window_t> active) { told.push_back(active); });
    for (const auto* window : { &first, &second, &first }) {
        ASSERT_EQ(desktop.run("xdotool windowactivate --sync " + id(window->id())), 0);
        ASSERT_TRUE(iterateUntil([&] { return facts->activeWindow() == window->id(); })) << desktop.log();
        // Raised by the activation, so it is on top of the stack.
        EXPECT_TRUE(iterateUntil([&] { return facts->windows().back().window == window->id(); })) << desktop.log();
    }
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), first.id());
}

TEST(RandrMonitorsDesktop, MonitorsSetOnOneScreenGiveTheirFramesThePrimaryFirstAndTellWhichMirror)
{
    VirtualDesktop desktop;
    if (desktop.skipReason)
        GTEST_SKIP() << *desktop.skipReason;
    auto connection = XcbConnection::open();
    ASSERT_TRUE(connection) << connection.error();
    RandrMonitors monitors(**connection);
    ASSERT_TRUE(monitors.available());
    ASSERT_EQ(monitors.monitors().size(), 1u);
    EXPECT_EQ(monitors.monitors().front().bounds, (Rect { 0, 0, 1280, 800 }));
    EXPECT_FALSE(monitors.monitors().front().mirrored);

    int changes = 0;
    auto subscription = monitors.onChanged([&] { ++changes; });
    // Right, then Left taking over the screen's output as the primary ("*"),
    // then Copy showing what Right shows.
    ASSERT_EQ(desktop.run("xrandr --setmonitor Right 640/170x800/450+640+0 none"
                          " && xrandr --setmonitor '*Left' 640/170x800/450+0+0 screen"
                          " && xrandr --setmonitor Copy 640/170x800/450+640+0 none"),
        0)
        << desktop.log();
    ASSERT_TRUE(iterateUntil([&] { return monitors.monitors().size() == 3; })) << desktop.capture("xrandr --listmonitors");
    EXPECT_GE(changes, 1);
    const auto& all = monitors.monitors();
    EXPECT_EQ(all[0].name, "Left");
    EXPECT_TRUE(all[0].primary);
    EXPECT_EQ(all[0].outputs, std::vector<std::string> { "screen" });
    EXPECT_EQ(all[0].bounds, (Rect { 0, 0, 640, 800 }));
    EXPECT_FALSE(all[0].mirrored);
    for (const auto& monitor : { all[1], all[2] }) {
        EXPECT_EQ(monitor.bounds, (Rect { 640, 0, 640, 800 })) << monitor.name;
        EXPECT_TRUE(monitor.mirrored) << monitor.name;
    }
}

} // namespace
} // namespace tintra
