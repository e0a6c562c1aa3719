#include "platform/linux/qt/ClickSparkOverlayQt.h"

#include "desktop/VirtualDesktop.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace tintra {
namespace {

using std::chrono::milliseconds;

// The test's own view of the X server: which of this process's windows are
// mapped, and what the screen shows (the root window holds the composited picture).
class XServer {
public:
    XServer()
        : connection_(xcb_connect(nullptr, nullptr))
    {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        pidAtom_ = atom("_NET_WM_PID");
    }
    ~XServer() { xcb_disconnect(connection_); }

    int mappedWindowsOfThisProcess() const
    {
        int mapped = 0;
        const auto tree = reply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
        if (!tree)
            return 0;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const auto attributes = reply(xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, children[i]), nullptr));
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && pidOf(children[i]) == static_cast<std::uint32_t>(getpid()))
                ++mapped;
        }
        return mapped;
    }

    // Pixels in the square of `radius` around the point whose channels differ
    // markedly: the backgrounds here are all grey.
    int colouredPixelsAround(int x, int y, int radius) const
    {
        const int size = 2 * radius;
        const auto image = reply(xcb_get_image_reply(connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(x - radius),
                static_cast<std::int16_t>(y - radius), static_cast<std::uint16_t>(size), static_cast<std::uint16_t>(size), ~0u),
            nullptr));
        if (!image)
            return 0;
        const std::uint8_t* data = xcb_get_image_data(image.get());
        const int length = xcb_get_image_data_length(image.get());
        int coloured = 0;
        for (int at = 0; at + 3 < length; at += 4) {
            const int blue = data[at], green = data[at + 1], red = data[at + 2];
            if (std::max({ red, green, blue }) - std::min({ red, green, blue }) > 24)
                ++coloured;
        }
        return coloured;
    }

private:
    template <typename T>
    static std::unique_ptr<T, decltype(&std::free)> reply(T* value) { return { value, &std::free }; }

    xcb_atom_t atom(const char* name) const
    {
        const auto got = reply(xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
        return got ? got->atom : XCB_NONE;
    }

    std::uint32_t pidOf(xcb_window_t window) const
    {
        const auto property = reply(xcb_get_property_reply(connection_, xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr));
        if (!property || xcb_get_property_value_length(property.get()) != 4)
            return 0;
        return *static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_NONE;
};

// A virtual desktop and a Qt application on it, the overlay made last and gone first.
class ClickSparkOverlayDesktop : public ::testing::Test {
protected:
    void start(VirtualDesktop::Options options, const char* platform = "xcb")
    {
        options.windowManager = false;
        options.accessibility = false;
        desktop = std::make_unique<VirtualDesktop>(options);
        if (desktop->skipReason)
            GTEST_SKIP() << *desktop->skipReason;
        setenv("QT_QPA_PLATFORM", platform, 1);
        // Mesa's software renderer: CI has no graphics card.
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        application = std::make_unique<QGuiApplication>(argc, argv);
        x = std::make_unique<XServer>();
        overlay = std::make_unique<ClickSparkOverlayQt>();
    }

    void TearDown() override
    {
        overlay.reset();
        x.reset();
        application.reset();
        desktop.reset();
    }

    // Runs the event loop until `done` holds or `limit` passes; whether it held.
    static bool runUntil(const std::function<bool()>& done, milliseconds limit)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() >= limit.count())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
        }
        return true;
    }

    static void runFor(milliseconds span)
    {
        runUntil([] { return false; }, span);
    }

    const TintraClickSparkView* viewOf(int screen) const { return overlay->view(QGuiApplication::screens().at(screen)); }

    // The first spark builds the renderer and the window, and the software
    // renderer compiles its shaders on the first draw: seconds on a busy
    // machine, and not what a user sees on every click.
    void warmUp()
    {
        overlay->spark({ 40, 40 });
        ASSERT_TRUE(runUntil([&] { return viewOf(0) && !viewOf(0)->isRunning(); }, milliseconds(20000)));
    }

    static inline int argc = 1;
    static inline char name[] = "tintra_sparks_desktop_tests";
    static inline char* argv[] = { name, nullptr };

    std::unique_ptr<VirtualDesktop> desktop;
    std::unique_ptr<QGuiApplication> application;
    std::unique_ptr<XServer> x;
    std::unique_ptr<ClickSparkOverlayQt> overlay;
};

TEST_F(ClickSparkOverlayDesktop, ASparkShowsColourNearThePointAndLeavesNothingBehind)
{
    start({ .compositor = true });
    warmUp();
    ASSERT_EQ(x->mappedWindowsOfThisProcess(), 0) << "the window stays mapped after the sparks are gone";

    QElapsedTimer clock;
    clock.start();
    overlay->spark({ 300, 200 });
    EXPECT_TRUE(runUntil([&] { return x->colouredPixelsAround(300, 200, 60) > 20; }, milliseconds(100)))
        << "no sparks near the point after " << clock.elapsed() << " ms";
    EXPECT_EQ(x->mappedWindowsOfThisProcess(), 1);
    EXPECT_EQ(x->colouredPixelsAround(900, 600, 60), 0) << "sparks far from the point";

    runFor(milliseconds(1200) - milliseconds(clock.elapsed()));
    EXPECT_EQ(x->colouredPixelsAround(300, 200, 120), 0) << "sparks left on screen after 1.2 s";
    EXPECT_EQ(x->mappedWindowsOfThisProcess(), 0);
    EXPECT_FALSE(viewOf(0)->isRunning()) << "the frame loop runs on while idle";
}

TEST_F(ClickSparkOverlayDesktop, SwitchingOffClearsTheScreenAtOnce)
{
    start({ .compositor = true });
    warmUp();
    overlay->spark({ 500, 300 });
    ASSERT_TRUE(runUntil([&] { return x->colouredPixelsAround(500, 300, 60) > 20; }, milliseconds(1000)));
    overlay->clearAll();
    EXPECT_FALSE(viewOf(0)->isRunning());
    EXPECT_TRUE(viewOf(0)->field().isEmpty());
    EXPECT_TRUE(runUntil([&] { return x->mappedWindowsOfThisProcess() == 0 && x->colouredPixelsAround(500, 300, 120) == 0; }, milliseconds(200)));
}

TEST_F(ClickSparkOverlayDesktop, WithoutACompositorNoWindowIsMappedUntilOneStarts)
{
    start({ .compositor = false });
    testing::internal::CaptureStdout();
    overlay->spark({ 300, 200 });
    overlay->spark({ 320, 220 });
    const bool everMapped = runUntil([&] { return x->mappedWindowsOfThisProcess() > 0; }, milliseconds(400));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(everMapped) << "a transparent window would show black";
    EXPECT_EQ(said, "ClickSparkOverlayQt: no compositing manager, so clicks will not spark.\n");
    EXPECT_EQ(viewOf(0), nullptr);

    ASSERT_TRUE(desktop->startCompositor());
    overlay->spark({ 300, 200 });
    EXPECT_TRUE(runUntil([&] { return x->colouredPixelsAround(300, 200, 60) > 20; }, milliseconds(5000)))
        << "the click after the compositor started did not spark";
}

TEST_F(ClickSparkOverlayDesktop, WithoutOpenGLNoWindowIsEverMade)
{
    setenv("QT_XCB_GL_INTEGRATION", "none", 1);
    start({ .compositor = true });
    testing::internal::CaptureStdout();
    overlay->spark({ 300, 200 });
    overlay->spark({ 300, 200 });
    runFor(milliseconds(200));
    const std::string said = testing::internal::GetCapturedStdout();
    unsetenv("QT_XCB_GL_INTEGRATION");
    EXPECT_EQ(said, "TintraClickSparkRenderer: no OpenGL context, so clicks will not spark.\n");
    EXPECT_EQ(viewOf(0), nullptr);
    EXPECT_EQ(x->mappedWindowsOfThisProcess(), 0);
}

// Xvfb offers one screen; Qt's offscreen platform lays out two side by side
// and still draws through the session's OpenGL.
TEST_F(ClickSparkOverlayDesktop, ASparkOnTheSecondScreenOpensOnlyThatScreensWindow)
{
    const auto layout = std::filesystem::temp_directory_path() / ("tintra-two-screens-" + std::to_string(getpid()) + ".json");
    std::ofstream(layout) << R"({ "screens": [
        { "name": "left", "x": 0, "y": 0, "width": 800, "height": 600, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 },
        { "name": "right", "x": 800, "y": 0, "width": 640, "height": 480, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })";
    const std::string platform = "offscreen:configfile=" + layout.string();
    start({}, platform.c_str());
    std::filesystem::remove(layout);
    ASSERT_EQ(QGuiApplication::screens().size(), 2);

    overlay->spark({ 900, 100 });
    EXPECT_EQ(viewOf(0), nullptr);
    ASSERT_NE(viewOf(1), nullptr);
    EXPECT_TRUE(viewOf(1)->isVisible());
    EXPECT_EQ(viewOf(1)->geometry(), QRect(800, 0, 640, 480));
    for (const TintraClickSpark& spark : viewOf(1)->field().sparks)
        EXPECT_LT(std::hypot(spark.position.x - 100, spark.position.y - 100), 10) << "not in the screen's own coordinates";

    overlay->spark({ 1000, 500 }); // below the shorter right screen: on no screen at all
    EXPECT_EQ(viewOf(0), nullptr);
    EXPECT_TRUE(runUntil([&] { return !viewOf(1)->isVisible(); }, milliseconds(5000))) << "the window stays up when idle";
}

} // namespace
} // namespace tintra
