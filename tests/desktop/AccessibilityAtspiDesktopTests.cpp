#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/atspi/AccessibilityAtspi.h"

#include "catalogue/NotificationMapping.h"
#include "desktop/VirtualDesktop.h"
#include "engine/ApplicationObserver.h"
#include "fakes/WorkspaceFake.h"
#include "input/ClickResolver.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <thread>

namespace tintra {
namespace {

using std::chrono::milliseconds;

const std::string gtkTitle = "Tintra GTK 3 Controls";

// Iterates the main loop (where libatspi's events arrive) until `done` holds
// or `limit` passes.
bool loopUntil(const std::function<bool()>& done, milliseconds limit = milliseconds(10000))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
}


// One virtual desktop for the whole suite: libatspi keeps the first bus it
// connects to for the life of the process.
class AccessibilityAtspiDesktop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        desktop_ = new VirtualDesktop();
        if (desktop_->skipReason)
            return;
        executor_ = new MainExecutorGlib();
        accessibility_ = new AccessibilityAtspi(*executor_);
    }
    static void TearDownTestSuite()
    {
        delete accessibility_;
        delete executor_;
        delete desktop_;
    }

    void SetUp() override
    {
        if (desktop_->skipReason)
            GTEST_SKIP() << *desktop_->skipReason;
        if (desktop_->run("/usr/bin/python3 -c 'import gi; gi.require_version(\"Gtk\", \"3.0\")' 2>/dev/null") != 0)
            GTEST_SKIP() << "Python's GTK 3 bindings (gir1.2-gtk-3.0, python3-gi) are not installed";
    }

    Accessibility& accessibility() { return *accessibility_; }

    // Starts the GTK 3 program and waits until its main window is on the bus.
    AXElement startGtk(ChildProcess& program)
    {
        program = desktop_->start({ "/usr/bin/python3", std::string(TINTRA_PROGRAMS_DIR) + "/gtk3-controls.py" });
        AXElement application;
        loopUntil([&] {
            application = accessibility().applicationElement(program.pid());
            const auto windows = accessibility().copyAttributeValue(application, "AXWindows");
            return windows && windows->get<AXValue::List>() && !windows->get<AXValue::List>()->empty();
        });
        // The window manager maps and activates it a little later.
        EXPECT_TRUE(loopUntil([&] { return run("xdotool search --sync --name '" + gtkTitle + "' windowactivate --sync"); }))
            << desktop_->log();
        // Keys go to it only once GTK knows it is active, clicks once the
        // window server's stacking reached this process's main loop.
        EXPECT_TRUE(loopUntil([&] {
            const auto window = accessibility().copyAttributeValue(application, "AXFocusedWindow");
            const auto extents = window && window->get<AXElement>() ? frame(*window->get<AXElement>()) : std::nullopt;
            return extents && accessibility().elementAtPosition(accessibility().systemWideElement(), centre(*extents));
        }));
        return application;
    }

    bool run(const std::string& command) { return desktop_->run(command) == 0; }

    std::optional<std::string> text(const AXElement& element, const std::string& attribute)
    {
        const auto value = accessibility().copyAttributeValue(element, attribute);
        return value && value->get<std::string>() ? std::optional(*value->get<std::string>()) : std::nullopt;
    }

    // The first element below `root`, breadth first, with this role and
    // title (and, when `shown`, extents of its own on the screen).
    std::optional<AXElement> find(const AXElement& root, const std::string& role, const std::string& title, bool shown = false)
    {
        std::deque<AXElement> queue { root };
        for (int visited = 0; !queue.empty() && visited < 2000; ++visited) {
            const auto element = queue.front();
            queue.pop_front();
            if (text(element, "AXRole") == role && text(element, "AXTitle") == title) {
                const auto extents = frame(element);
                if (!shown || (extents && extents->origin.x >= 0 && extents->size.width > 0 && extents->size.height > 0))
                    return element;
            }
            if (const auto children = accessibility().copyAttributeValue(element, "AXChildren")) {
                for (const auto& child : *children->get<AXValue::List>())
                    queue.push_back(*child.get<AXElement>());
            }
        }
        return std::nullopt;
    }

    std::optional<AXRect> frame(const AXElement& element)
    {
        const auto position = accessibility().copyAttributeValue(element, "AXPosition");
        const auto size = accessibility().copyAttributeValue(element, "AXSize");
        if (!position || !size || !position->get<AXPoint>() || !size->get<AXSize>())
            return std::nullopt;
        return AXRect { *position->get<AXPoint>(), *size->get<AXSize>() };
    }

    static AXPoint centre(const AXRect& rect)
    {
        return { rect.origin.x + rect.size.width / 2, rect.origin.y + rect.size.height / 2 };
    }

    static VirtualDesktop* desktop_;
    static MainExecutorGlib* executor_;
    static AccessibilityAtspi* accessibility_;
};

VirtualDesktop* AccessibilityAtspiDesktop::desktop_ = nullptr;
MainExecutorGlib* AccessibilityAtspiDesktop::executor_ = nullptr;
AccessibilityAtspi* AccessibilityAtspiDesktop::accessibility_ = nullptr;

TEST_F(AccessibilityAtspiDesktop, ElementsOfTheGtkProgramHaveRolesWindowsAndIdentity)
{
    ChildProcess program;
    const auto application = startGtk(program);
    EXPECT_TRUE(accessibility().isProcessTrusted());
    EXPECT_EQ(text(application, "AXRole"), "AXApplication");
    EXPECT_EQ(accessibility().processIdentifier(application), program.pid());

    const auto windows = accessibility().copyAttributeValue(application, "AXWindows");
    ASSERT_TRUE(windows && windows->get<AXValue::List>()) << desktop_->log();
    ASSERT_EQ(windows->get<AXValue::List>()->size(), 1u);
    const auto window = *windows->get<AXValue::List>()->front().get<AXElement>();
    EXPECT_EQ(text(window, "AXTitle"), gtkTitle);
    EXPECT_EQ(text(window, "AXSubrole"), "AXStandardWindow");
    // Two look-ups of one object are one element.
    EXPECT_EQ(accessibility().copyAttributeValue(application, "AXFocusedWindow"), AXValue::element(window));

    const auto push = find(window, "AXButton", "Push Me");
    ASSERT_TRUE(push);
    EXPECT_EQ(accessibility().copyAttributeValue(*push, "AXWindow"), AXValue::element(window));
    const auto batch = accessibility().copyMultipleAttributeValues(*push, { "AXRole", "AXNoSuchAttribute", "AXSize" });
    ASSERT_TRUE(batch);
    EXPECT_EQ((*batch)[0], AXValue::text("AXButton"));
    EXPECT_EQ((*batch)[1], tl::unexpected(AXError::attributeUnsupported));
    ASSERT_TRUE((*batch)[2] && (*batch)[2]->get<AXSize>());
    EXPECT_GT((*batch)[2]->get<AXSize>()->width, 0);
    EXPECT_EQ(accessibility().copyAttributeValue(window, "AXDefaultButton"),
        AXValue::element(*find(window, "AXButton", "Default")));
    EXPECT_EQ(accessibility().copyAttributeValue(window, "AXCancelButton"),
        AXValue::element(*find(window, "AXButton", "Cancel")));

    // An element of a process that has gone answers at once.
    program.stop();
    loopUntil([&] { return !accessibility().processIdentifier(*push); });
    EXPECT_EQ(accessibility().copyAttributeValue(*push, "AXRole"), tl::unexpected(AXError::invalidUIElement));
}


// The sounds the real application observer hears from the GTK 3 program.
class HeardSounds {
public:
    void operator()(const TintraEvent& event) { codes_.push_back(event.soundID.description()); }

    // Before an action: what it makes heard counts from here.
    void mark() { mark_ = codes_.size(); }
    // Waits for `code` since the mark.
    bool await(const std::string& code)
    {
        return loopUntil(
            [&] { return std::find(codes_.begin() + static_cast<std::ptrdiff_t>(mark_), codes_.end(), code) != codes_.end(); });
    }
    std::size_t count(const std::string& code) const { return std::count(codes_.begin(), codes_.end(), code); }
    std::string all() const
    {
        std::string joined;
        for (const auto& code : codes_)
            joined += code + ' ';
        return joined;
    }

private:
    std::vector<std::string> codes_;
    std::size_t mark_ = 0;
};

TEST_F(AccessibilityAtspiDesktop, TheApplicationObserverHearsTheGtkProgramsMenusWindowsDialogsAndTooltips)
{
    ChildProcess program;
    const auto application = startGtk(program);
    const auto pid = program.pid();
    accessibility().setMessagingTimeout(application, TintraApplicationObserver::applicationMessagingTimeout);

    auto heard = std::make_shared<HeardSounds>();
    TintraApplicationObserver::Environment environment { accessibility(), SystemClock::shared(),
        [pid]() -> std::optional<std::int32_t> { return pid; }, [] { return false; },
        [this](const AXElement& element) { return text(element, "AXTitle"); } };
    TintraApplicationObserver observer(environment, pid, "gtk3-controls", std::nullopt, application,
        defaultNotificationMappings(), [heard](const TintraEvent& event) { (*heard)(event); }, false);
    ASSERT_TRUE(observer.attach());
    EXPECT_FALSE(observer.didTimeOut());
    // The main window was there before the attach: remembered, not announced.
    EXPECT_EQ(observer.trackedElements().size(), 1u);
    const std::string window = "$(xdotool search --name '" + gtkTitle + "')";

    heard->mark();
    ASSERT_TRUE(run("xdotool key F10"));
    EXPECT_TRUE(heard->await("mnuo")) << heard->all();
    heard->mark();
    ASSERT_TRUE(run("xdotool key Down"));
    EXPECT_TRUE(heard->await("mnui")) << heard->all();
    heard->mark();
    ASSERT_TRUE(run("xdotool key Escape"));
    EXPECT_TRUE(heard->await("mnuc")) << heard->all();
    // One opening however many events it raised.
    EXPECT_EQ(heard->count("mnuo"), 1u) << heard->all();

    heard->mark();
    ASSERT_TRUE(run("xdotool key ctrl+n"));
    EXPECT_TRUE(heard->await("wopn")) << heard->all();
    heard->mark();
    // The window manager may not have taken the window on yet.
    ASSERT_TRUE(loopUntil([&] { return run("wmctrl -c 'Second Window'"); }));
    EXPECT_TRUE(heard->await("wcls")) << heard->all();

    heard->mark();
    ASSERT_TRUE(run("xdotool windowactivate --sync " + window + " key ctrl+d"));
    EXPECT_TRUE(heard->await("dopn")) << heard->all();
    heard->mark();
    ASSERT_TRUE(run("xdotool key Escape"));
    EXPECT_TRUE(heard->await("dlgc")) << heard->all();

    heard->mark();
    ASSERT_TRUE(run("xdotool windowactivate --sync " + window + " key ctrl+l"));
    EXPECT_TRUE(heard->await("aopn")) << heard->all();
    heard->mark();
    ASSERT_TRUE(run("xdotool key Return"));
    EXPECT_TRUE(heard->await("altc")) << heard->all();

    const auto mainWindow = accessibility().copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(mainWindow && mainWindow->get<AXElement>());
    const auto push = find(*mainWindow->get<AXElement>(), "AXButton", "Push Me");
    ASSERT_TRUE(push);
    const auto pushCentre = centre(*frame(*push));
    heard->mark();
    ASSERT_TRUE(run("xdotool mousemove " + std::to_string(int(pushCentre.x)) + " " + std::to_string(int(pushCentre.y))));
    EXPECT_TRUE(heard->await("blno")) << heard->all();
    heard->mark();
    ASSERT_TRUE(run("xdotool mousemove 1200 780"));
    EXPECT_TRUE(heard->await("blnc")) << heard->all();

    heard->mark();
    ASSERT_TRUE(run("xdotool windowminimize --sync " + window));
    EXPECT_TRUE(heard->await("wcol")) << heard->all();
    heard->mark();
    ASSERT_TRUE(run("xdotool windowactivate --sync " + window));
    EXPECT_TRUE(heard->await("wexp")) << heard->all();
    heard->mark();
    ASSERT_TRUE(run("xdotool windowsize --sync " + window + " 700 560"));
    EXPECT_TRUE(heard->await("wgro")) << heard->all();
    heard->mark();
    const auto moved = frame(*mainWindow->get<AXElement>());
    ASSERT_TRUE(moved);
    ASSERT_TRUE(run("xdotool windowmove --sync " + window + " " + std::to_string(int(moved->origin.x) + 60) + " "
        + std::to_string(int(moved->origin.y) + 40)));
    EXPECT_TRUE(heard->await("wmov")) << heard->all();
}


TEST_F(AccessibilityAtspiDesktop, TheClickResolverFindsEachGtkControlsKindUnderThePointer)
{
    ChildProcess program;
    const auto application = startGtk(program);
    const auto window = accessibility().copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(window && window->get<AXElement>());
    WorkspaceFake workspace(static_cast<std::int32_t>(getpid()));
    TintraClickResolver resolver(accessibility(), workspace, [](std::optional<std::string_view>) { return false; });

    struct Control {
        std::string role;
        std::string title;
        TintraControlKind kind;
    };
    using K = TintraControlKind;
    const std::vector<Control> controls {
        { "AXButton", "Push Me", K::button },
        { "AXButton", "Default", K::defaultButton },
        { "AXButton", "Cancel", K::cancelButton },
        { "AXCheckBox", "Toggle", K::checkbox },
        { "AXCheckBox", "Check", K::checkbox },
        { "AXRadioButton", "Radio A", K::radio },
        { "AXRadioButton", "Tree Tab", K::tab },
        { "AXDisclosureTriangle", "More", K::disclosure },
        { "AXPopUpButton", "Alpha", K::popUp },
        { "AXIncrementor", "", K::littleArrowUp },
        { "AXSlider", "", K::sliderTrack },
        { "AXScrollBar", "", K::scrollTrack },
        { "AXRow", "Parent 1", K::genericClick },
    };
    for (const auto& control : controls) {
        const auto element = find(*window->get<AXElement>(), control.role, control.title, true);
        ASSERT_TRUE(element) << control.role << " " << control.title;
        const auto point = centre(*frame(*element));
        const auto hit = accessibility().elementAtPosition(accessibility().systemWideElement(), point);
        EXPECT_EQ(hit, *element) << control.role << " " << control.title << " at " << point.x << "," << point.y << ": " << (hit ? hit->identity() + " " + text(*hit, "AXRole").value_or("?") : errorName(hit.error()));
        const auto target = resolver.resolve({ point.x, point.y });
        ASSERT_TRUE(target) << control.role << " " << control.title;
        EXPECT_EQ(target->kind, control.kind) << control.role << " " << control.title;
        EXPECT_EQ(target->processIdentifier, program.pid());
    }
    // Menus sound through their own notifications, never as clicks.
    const auto file = find(*window->get<AXElement>(), "AXMenuBarItem", "File", true);
    ASSERT_TRUE(file);
    EXPECT_FALSE(resolver.resolve({ centre(*frame(*file)).x, centre(*frame(*file)).y }));
}

TEST_F(AccessibilityAtspiDesktop, AStoppedProgramAnswersCannotCompleteWithinItsTimeout)
{
    ChildProcess program;
    const auto application = startGtk(program);
    const auto window = accessibility().copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(window && window->get<AXElement>());
    const auto push = find(*window->get<AXElement>(), "AXButton", "Push Me", true);
    ASSERT_TRUE(push);
    const auto point = centre(*frame(*push));
    accessibility().setMessagingTimeout(application, milliseconds(250));
    accessibility().setMessagingTimeout(accessibility().systemWideElement(), milliseconds(100));

    program.signal(SIGSTOP);
    // Neither libatspi's 15 s start-up grace nor the 6 s default may apply:
    // the bound is generous for a loaded machine, far below both.
    const auto bound = milliseconds(3000);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(accessibility().copyAttributeValue(*push, "AXPosition"), tl::unexpected(AXError::cannotComplete));
    EXPECT_LT(std::chrono::steady_clock::now() - start, bound);
    start = std::chrono::steady_clock::now();
    const auto hit = accessibility().elementAtPosition(accessibility().systemWideElement(), point);
    EXPECT_EQ(hit, tl::unexpected(AXError::cannotComplete));
    EXPECT_LT(std::chrono::steady_clock::now() - start, bound);
    // The process id comes from the bus, not from the program.
    EXPECT_EQ(accessibility().processIdentifier(*push), program.pid());
    program.signal(SIGCONT);
    EXPECT_TRUE(loopUntil([&] { return accessibility().copyAttributeValue(*push, "AXPosition").has_value(); }));
}

TEST_F(AccessibilityAtspiDesktop, AKilledProgramsWindowsAreDestroyed)
{
    ChildProcess program;
    const auto application = startGtk(program);
    const auto window = accessibility().copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(window && window->get<AXElement>());
    std::vector<AXElement> destroyed;
    auto observer = accessibility().createObserver(program.pid(),
        [&](const AXElement& element, const std::string& notification, AXContext context) {
            if (notification == "AXUIElementDestroyed" && context == 7)
                destroyed.push_back(element);
        });
    ASSERT_TRUE(observer);
    ASSERT_EQ((*observer)->addNotification(*window->get<AXElement>(), "AXUIElementDestroyed", 7), AXError::success);
    EXPECT_EQ((*observer)->addNotification(*window->get<AXElement>(), "AXUIElementDestroyed", 7),
        AXError::notificationAlreadyRegistered);
    (*observer)->start();

    program.signal(SIGKILL);
    EXPECT_TRUE(loopUntil([&] { return !destroyed.empty(); })) << desktop_->log();
    ASSERT_EQ(destroyed.size(), 1u);
    EXPECT_EQ(destroyed.front(), *window->get<AXElement>());
    EXPECT_EQ((*observer)->removeNotification(*window->get<AXElement>(), "AXUIElementDestroyed"),
        AXError::notificationNotRegistered);
}

} // namespace
} // namespace tintra
