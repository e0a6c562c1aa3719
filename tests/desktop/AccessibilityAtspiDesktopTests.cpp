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
#include <fstream>
#include <memory>
#include <thread>

namespace tintra {
namespace {

using std::chrono::milliseconds;

// Our test programs: the same controls and keys in each toolkit.
struct TestProgram {
    std::vector<std::string> command;
    std::string title;
    // A point on the spin button's up and down arrows, left of its right edge and below its top,
    // where clicking was seen to step the value.
    std::pair<AXPoint, AXPoint> spinArrows;
};
const TestProgram gtk3 { { "/usr/bin/python3", TINTRA_PROGRAMS_DIR "/gtk3-controls.py" }, "Tintra GTK 3 Controls",
    { { 10, 22 }, { 50, 22 } } };
const TestProgram qt6 { { TINTRA_QT6_CONTROLS }, "Tintra Qt 6 Controls", { { 8, 5 }, { 8, 18 } } };
const std::string gtkTitle = gtk3.title;
// How long the suite's own look-ups in a program may wait for its answers.
constexpr milliseconds lookUpTimeout(2000);

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
public:
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

    // Starts the program and waits until its main window is on the bus, active and hit by the
    // window server's stacking.
    AXElement start(ChildProcess& program, const TestProgram& which)
    {
        program = desktop_->start(which.command);
        AXElement application;
        loopUntil([&] {
            application = accessibility().applicationElement(program.pid());
            const auto windows = accessibility().copyAttributeValue(application, "AXWindows");
            return windows && windows->get<AXValue::List>() && !windows->get<AXValue::List>()->empty();
        });
        // A click resolver's 0.1 s for the system-wide element holds for every element without a
        // time-out of its own, and a browser on a loaded machine may take longer to answer the
        // suite's own look-ups.
        accessibility().setMessagingTimeout(application, lookUpTimeout);
        // The window manager maps and activates it a little later.
        EXPECT_TRUE(loopUntil([&] { return run("xdotool search --sync --name '" + which.title + "' windowactivate --sync"); }))
            << desktop_->log();
        // Keys go to it only once the toolkit knows it is active, clicks once the
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
    const auto application = start(program, gtk3);
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

// The real application observer attached to a program the suite started, and the steps a user
// takes in it, each heard.
class ObservedProgram {
public:
    ObservedProgram(AccessibilityAtspiDesktop& suite, const AXElement& application, pid_t pid, const std::string& title)
        : suite_(suite)
        , environment_ { suite.accessibility(), SystemClock::shared(), [pid]() -> std::optional<std::int32_t> { return pid; },
            [] { return false; }, [&suite](const AXElement& element) { return suite.text(element, "AXTitle"); } }
        , observer_(environment_, pid, title, std::nullopt, application, defaultNotificationMappings(),
              [this](const TintraEvent& event) { heard_(event); }, false)
    {
        suite.accessibility().setMessagingTimeout(application, TintraApplicationObserver::applicationMessagingTimeout);
    }

    TintraApplicationObserver& observer() { return observer_; }
    const HeardSounds& heard() const { return heard_; }

    void step(const std::string& command, const std::string& code)
    {
        heard_.mark();
        ASSERT_TRUE(suite_.run(command)) << command;
        EXPECT_TRUE(heard_.await(code)) << command << ": " << heard_.all();
    }

private:
    AccessibilityAtspiDesktop& suite_;
    HeardSounds heard_;
    TintraApplicationObserver::Environment environment_;
    TintraApplicationObserver observer_;
};

std::string centreOf(AccessibilityAtspiDesktop& suite, const AXElement& window, const std::string& role, const std::string& title)
{
    const auto element = suite.find(window, role, title, true);
    EXPECT_TRUE(element) << role << " " << title;
    const auto point = element ? AccessibilityAtspiDesktop::centre(*suite.frame(*element)) : AXPoint {};
    return std::to_string(int(point.x)) + " " + std::to_string(int(point.y));
}

// Drives the program through its menu bar, a second window, a dialog, an alert, a tooltip and
// the window manager: each step is heard.
void expectObserverHears(AccessibilityAtspiDesktop& suite, const TestProgram& which)
{
    auto& accessibility = suite.accessibility();
    ChildProcess program;
    const auto application = suite.start(program, which);
    ObservedProgram observed(suite, application, program.pid(), which.title);
    ASSERT_TRUE(observed.observer().attach());
    EXPECT_FALSE(observed.observer().didTimeOut());
    // The main window was there before the attach: remembered, not announced.
    EXPECT_EQ(observed.observer().trackedElements().size(), 1u);
    const std::string window = "$(xdotool search --name '" + which.title + "')";
    const auto step = [&](const std::string& command, const std::string& code) { observed.step(command, code); };

    const auto mainWindow = accessibility.copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(mainWindow && mainWindow->get<AXElement>());
    const auto centre = [&](const std::string& role, const std::string& title) {
        return centreOf(suite, *mainWindow->get<AXElement>(), role, title);
    };

    step("xdotool mousemove " + centre("AXMenuBarItem", "File") + " click 1", "mnuo");
    step("xdotool key Down", "mnui");
    step("xdotool key Escape", "mnuc");
    // One opening however many events it raised.
    EXPECT_EQ(observed.heard().count("mnuo"), 1u) << observed.heard().all();

    step("xdotool key ctrl+n", "wopn");
    // The window manager may not have taken the window on yet.
    step("sh -c 'for try in $(seq 50); do wmctrl -c \"Second Window\" && exit; sleep 0.2; done; exit 1'", "wcls");
    step("xdotool windowactivate --sync " + window + " key ctrl+d", "dopn");
    step("xdotool key Escape", "dlgc");
    step("xdotool windowactivate --sync " + window + " key ctrl+l", "aopn");
    step("xdotool key Return", "altc");

    step("xdotool mousemove " + centre("AXButton", "Push Me"), "blno");
    step("xdotool mousemove 1200 780", "blnc");

    step("xdotool windowminimize --sync " + window, "wcol");
    step("xdotool windowactivate --sync " + window, "wexp");
    step("xdotool windowsize --sync " + window + " 700 560", "wgro");
    const auto moved = suite.frame(*mainWindow->get<AXElement>());
    ASSERT_TRUE(moved);
    step("xdotool windowmove --sync " + window + " " + std::to_string(int(moved->origin.x) + 60) + " "
            + std::to_string(int(moved->origin.y) + 40),
        "wmov");
}

TEST_F(AccessibilityAtspiDesktop, TheApplicationObserverHearsTheGtkProgramsMenusWindowsDialogsAndTooltips)
{
    expectObserverHears(*this, gtk3);
}

TEST_F(AccessibilityAtspiDesktop, TheApplicationObserverHearsTheQtProgramsMenusWindowsDialogsAndTooltips)
{
    expectObserverHears(*this, qt6);
}

using K = TintraControlKind;

struct Control {
    std::string role;
    std::string title;
    TintraControlKind kind;
};

// A title bar's buttons, where the program draws its own.
const std::vector<Control> windowButtons { { "AXButton", "Minimize", K::windowCollapse }, { "AXButton", "Maximize", K::windowZoom },
    { "AXButton", "Close", K::windowClose } };

// Each control, hit at its centre through the system-wide element, is itself and resolves to its kind.
void expectEachResolves(AccessibilityAtspiDesktop& suite, TintraClickResolver& resolver, const AXElement& window,
    const std::vector<Control>& controls, pid_t program)
{
    auto& accessibility = suite.accessibility();
    for (const auto& control : controls) {
        const auto element = suite.find(window, control.role, control.title, true);
        ASSERT_TRUE(element) << control.role << " " << control.title;
        const auto point = AccessibilityAtspiDesktop::centre(*suite.frame(*element));
        // Qt makes a new object for a tree's cell on each look-up, so the hit is told by what it is.
        const auto hit = accessibility.elementAtPosition(accessibility.systemWideElement(), point);
        ASSERT_TRUE(hit) << control.role << " " << control.title << ": " << errorName(hit.error());
        EXPECT_EQ(suite.text(*hit, "AXRole"), control.role) << control.title << " at " << point.x << "," << point.y;
        EXPECT_EQ(suite.text(*hit, "AXTitle").value_or(""), control.title) << control.role << " at " << point.x << "," << point.y;
        const auto target = resolver.resolve({ point.x, point.y });
        ASSERT_TRUE(target) << control.role << " " << control.title;
        EXPECT_EQ(target->kind, control.kind) << control.role << " " << control.title;
        EXPECT_EQ(target->processIdentifier, program);
    }
}

// Each control resolves to its kind, and so does each arrow of the spin button; a menu-bar title
// resolves to nothing, since menus sound through their own notifications.
void expectClickResolverFinds(AccessibilityAtspiDesktop& suite, const TestProgram& which, const std::vector<Control>& controls)
{
    auto& accessibility = suite.accessibility();
    ChildProcess program;
    const auto application = suite.start(program, which);
    const auto window = accessibility.copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(window && window->get<AXElement>());
    WorkspaceFake workspace(static_cast<std::int32_t>(getpid()));
    TintraClickResolver resolver(accessibility, workspace, [](std::optional<std::string_view>) { return false; });

    expectEachResolves(suite, resolver, *window->get<AXElement>(), controls, program.pid());
    const auto spin = suite.find(*window->get<AXElement>(), "AXIncrementor", "", true);
    ASSERT_TRUE(spin);
    const auto spinFrame = *suite.frame(*spin);
    for (const auto& [offset, kind] : { std::pair(which.spinArrows.first, K::littleArrowUp), std::pair(which.spinArrows.second, K::littleArrowDown) }) {
        const AXPoint point { spinFrame.origin.x + spinFrame.size.width - offset.x, spinFrame.origin.y + offset.y };
        const auto target = resolver.resolve({ point.x, point.y });
        ASSERT_TRUE(target) << point.x << "," << point.y;
        EXPECT_EQ(target->kind, kind) << point.x << "," << point.y;
        // The arrow is a button of its own in the spin button.
        const auto arrow = accessibility.elementAtPosition(accessibility.systemWideElement(), point);
        ASSERT_TRUE(arrow);
        EXPECT_EQ(accessibility.copyAttributeValue(*arrow, "AXParent"), AXValue::element(*spin));
        ASSERT_TRUE(suite.frame(*arrow));
        EXPECT_TRUE(suite.frame(*arrow)->contains(point));
    }

    const auto file = suite.find(*window->get<AXElement>(), "AXMenuBarItem", "File", true);
    ASSERT_TRUE(file);
    EXPECT_FALSE(resolver.resolve({ AccessibilityAtspiDesktop::centre(*suite.frame(*file)).x,
        AccessibilityAtspiDesktop::centre(*suite.frame(*file)).y }));

    // The frame a hit learnt is not kept beyond its click: the element moves with its window (by
    // more than asked, as xdotool counts openbox's frame in).
    const auto push = suite.find(*window->get<AXElement>(), "AXButton", "Push Me", true);
    ASSERT_TRUE(push);
    const auto before = *suite.frame(*push);
    ASSERT_TRUE(accessibility.elementAtPosition(accessibility.systemWideElement(), AccessibilityAtspiDesktop::centre(before)));
    ASSERT_TRUE(suite.run("xdotool search --name '" + which.title + "' windowmove --sync --relative %1 30 20"));
    EXPECT_TRUE(loopUntil([&] {
        const auto after = suite.frame(*push);
        return after && after->origin.x > before.origin.x && after->origin.y > before.origin.y;
    }));
}

// What both programs have. GTK 3 adds an expander; Qt has none, but a tool button with a menu.
std::vector<Control> controlsAnd(const Control& own)
{
    return {
        { "AXButton", "Push Me", K::button },
        { "AXButton", "Default", K::defaultButton },
        { "AXButton", "Cancel", K::cancelButton },
        { "AXCheckBox", "Toggle", K::checkbox },
        { "AXCheckBox", "Check", K::checkbox },
        { "AXRadioButton", "Radio A", K::radio },
        { "AXRadioButton", "Tree Tab", K::tab },
        { "AXPopUpButton", "Alpha", K::popUp },
        { "AXSlider", "", K::sliderTrack },
        { "AXScrollBar", "", K::scrollTrack },
        { "AXRow", "Parent 1", K::genericClick },
        own,
    };
}

TEST_F(AccessibilityAtspiDesktop, TheClickResolverFindsEachGtkControlsKindUnderThePointer)
{
    expectClickResolverFinds(*this, gtk3, controlsAnd({ "AXDisclosureTriangle", "More", K::disclosure }));
}

TEST_F(AccessibilityAtspiDesktop, TheClickResolverFindsEachQtControlsKindUnderThePointer)
{
    expectClickResolverFinds(*this, qt6, controlsAnd({ "AXMenuButton", "Tool", K::popUp }));
}

// A window that draws its own title bar: its buttons click as a title bar's.
TEST_F(AccessibilityAtspiDesktop, TheClickResolverFindsTheButtonsOfAGtkHeaderBar)
{
    const TestProgram headerBar { { "/usr/bin/python3", TINTRA_PROGRAMS_DIR "/gtk3-header-bar.py" }, "Tintra GTK 3 Header Bar", {} };
    ChildProcess program;
    const auto application = start(program, headerBar);
    const auto window = accessibility().copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(window && window->get<AXElement>());
    WorkspaceFake workspace(static_cast<std::int32_t>(getpid()));
    TintraClickResolver resolver(accessibility(), workspace, [](std::optional<std::string_view>) { return false; });
    expectEachResolves(*this, resolver, *window->get<AXElement>(), windowButtons, program.pid());
}

const std::string webControls = "file://" TINTRA_PROGRAMS_DIR "/web-controls.html";

// The page's own tree, and its controls' names, come a moment after the window.
bool pageShows(AccessibilityAtspiDesktop& suite, const AXElement& window, const std::vector<Control>& controls)
{
    return loopUntil([&] {
        return std::all_of(controls.begin(), controls.end(),
            [&](const Control& control) { return suite.find(window, control.role, control.title, true).has_value(); });
    });
}

// Each kind of a web page's controls, and then the browser's own, hit in a browser. The browsers
// show themselves on the bus only when toolkit accessibility was on before they started, as the
// suite's desktop has it.
void expectWebControlsResolve(AccessibilityAtspiDesktop& suite, const TestProgram& browser, const std::vector<Control>& browsersOwn = {})
{
    ChildProcess program;
    const auto application = suite.start(program, browser);
    const auto window = suite.accessibility().copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(window && window->get<AXElement>());
    const std::vector<Control> controls {
        { "AXButton", "Web Button", K::button },
        { "AXCheckBox", "Web Check", K::checkbox },
        { "AXRadioButton", "Web Radio", K::radio },
        { "AXPopUpButton", "Web Select", K::popUp },
        { "AXSlider", "Web Slider", K::sliderTrack },
        { "AXDisclosureTriangle", "Web More", K::disclosure },
        { "AXLink", "Web Link", K::genericClick },
    };
    ASSERT_TRUE(pageShows(suite, *window->get<AXElement>(), controls));
    WorkspaceFake workspace(static_cast<std::int32_t>(getpid()));
    TintraClickResolver resolver(suite.accessibility(), workspace, [](std::optional<std::string_view>) { return false; });
    expectEachResolves(suite, resolver, *window->get<AXElement>(), controls, program.pid());
    expectEachResolves(suite, resolver, *window->get<AXElement>(), browsersOwn, program.pid());
}

// The browsers on our web page, each with a profile of its own in the desktop's folder.
TestProgram firefox(const std::filesystem::path& folder)
{
    const auto profile = folder / "firefox";
    std::filesystem::create_directories(profile);
    // No first-run pages, which would open over the test page.
    std::ofstream(profile / "user.js") << "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
                                          "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
                                          "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
                                          "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n";
    return { { "firefox-esr", "--no-remote", "--profile", profile.string(), webControls }, "Tintra Web Controls", {} };
}

// As root, Chromium runs only without its sandbox; without being told, it showed its window on
// the bus but not the page inside.
TestProgram chromium(const std::filesystem::path& folder)
{
    return { { "chromium", "--no-sandbox", "--user-data-dir=" + (folder / "chromium").string(), "--no-first-run",
                 "--no-default-browser-check", "--disable-gpu", "--ozone-platform=x11", "--password-store=basic",
                 "--force-renderer-accessibility", webControls },
        "Tintra Web Controls", {} };
}

#define SKIP_WITHOUT(command)                                                                                   \
    do {                                                                                                       \
        if (!run("command -v " command))                                                                       \
            GTEST_SKIP() << command " is not installed (scripts/install-deps installs it)";                    \
    } while (false)

TEST_F(AccessibilityAtspiDesktop, TheClickResolverFindsEachKindOfAWebPagesControlsInFirefox)
{
    SKIP_WITHOUT("firefox-esr");
    expectWebControlsResolve(*this, firefox(desktop_->folder()));
}

TEST_F(AccessibilityAtspiDesktop, TheClickResolverFindsEachKindOfAWebPagesControlsInChromium)
{
    SKIP_WITHOUT("chromium");
    // Chromium draws its own title bar.
    expectWebControlsResolve(*this, chromium(desktop_->folder()), windowButtons);
}

// A web page's drop-down, context menu, tooltip and alert (where the browser tells of it), and a
// second browser window, each heard.
void expectObserverHearsWebPage(AccessibilityAtspiDesktop& suite, const TestProgram& browser, bool toldOfAlerts)
{
    auto& accessibility = suite.accessibility();
    ChildProcess program;
    const auto application = suite.start(program, browser);
    const auto window = accessibility.copyAttributeValue(application, "AXFocusedWindow");
    ASSERT_TRUE(window && window->get<AXElement>());
    ASSERT_TRUE(pageShows(suite, *window->get<AXElement>(),
        { { "AXPopUpButton", "Web Select", K::popUp }, { "AXButton", "Web Button", K::button }, { "AXButton", "Web Alert", K::button } }));
    ObservedProgram observed(suite, application, program.pid(), browser.title);
    ASSERT_TRUE(observed.observer().attach());
    const auto centre = [&](const std::string& role, const std::string& title) {
        return centreOf(suite, *window->get<AXElement>(), role, title);
    };

    observed.step("xdotool mousemove " + centre("AXPopUpButton", "Web Select") + " click 1", "mnuo");
    observed.step("xdotool key Down", "mnui");
    observed.step("xdotool key Escape", "mnuc");
    // The page's context menu, opened on the page below its controls.
    observed.step("xdotool mousemove 400 600 click 3", "mnuo");
    observed.step("xdotool key Escape", "mnuc");
    EXPECT_EQ(observed.heard().count("mnuo"), 2u) << observed.heard().all();
    // A menu is no window of its own, whatever hosts it.
    EXPECT_EQ(observed.heard().count("wact"), 0u) << observed.heard().all();

    observed.step("xdotool mousemove " + centre("AXButton", "Web Button"), "blno");
    observed.step("xdotool mousemove 1200 780", "blnc");

    if (toldOfAlerts) {
        observed.step("xdotool mousemove " + centre("AXButton", "Web Alert") + " click 1", "dopn");
        observed.step("xdotool key Return", "dlgc");
    }

    observed.step("xdotool key ctrl+n", "wopn");
    // Closed as its title bar's button closes it, once it is the active window.
    observed.step("sh -c 'for try in $(seq 50); do window=$(xdotool getactivewindow); xdotool getwindowname $window | grep -qv \"" + browser.title
            + "\" && exec wmctrl -i -c $window; sleep 0.2; done; exit 1'",
        "wcls");
    EXPECT_EQ(observed.heard().count("wopn"), 1u) << observed.heard().all();
    EXPECT_EQ(observed.heard().count("wcls"), 1u) << observed.heard().all();
}

TEST_F(AccessibilityAtspiDesktop, TheApplicationObserverHearsAWebPagesDropDownTooltipAndAlertAndANewWindowInFirefox)
{
    SKIP_WITHOUT("firefox-esr");
    // Firefox shows an alert as a frame in its window, as it shows any frame of a page, and tells
    // of its end only by the focus going back.
    expectObserverHearsWebPage(*this, firefox(desktop_->folder()), false);
}

TEST_F(AccessibilityAtspiDesktop, TheApplicationObserverHearsAWebPagesDropDownTooltipAndAlertAndANewWindowInChromium)
{
    SKIP_WITHOUT("chromium");
    expectObserverHearsWebPage(*this, chromium(desktop_->folder()), true);
}

TEST_F(AccessibilityAtspiDesktop, AStoppedProgramAnswersCannotCompleteWithinItsTimeout)
{
    ChildProcess program;
    const auto application = start(program, gtk3);
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

} // namespace
} // namespace tintra

