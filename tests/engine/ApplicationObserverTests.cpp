#include "engine/ApplicationObserver.h"
#include "fakes/AccessibilityFake.h"
#include "fakes/ManualExecutor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tintra {
namespace {

constexpr std::int32_t mail = 42;
constexpr std::int32_t notes = 43;

using R = TintraSoundResolution;
using Mappings = std::vector<TintraNotificationMapping>;

TintraNotificationMapping fixed(std::string name, TintraSoundID sound)
{
    return { { std::move(name) }, { R::fixed { sound } }, true };
}

TintraNotificationMapping mappingNamed(const std::string& name)
{
    return *notificationMapping(name);
}

Mappings defaultMappings()
{
    const auto rows = defaultNotificationMappings();
    return { rows.begin(), rows.end() };
}

Mappings defaultMappingsWithout(const std::string& name)
{
    auto rows = defaultMappings();
    std::erase_if(rows, [&](const auto& mapping) { return mapping.notification.rawValue == name; });
    return rows;
}

class ApplicationObserverTest : public ::testing::Test {
protected:
    ApplicationObserverTest()
    {
        app = ax.addApplication(mail, { { "AXRole", AXValue::text("AXApplication") } });
        ax.setMessagingTimeout(app, TintraApplicationObserver::applicationMessagingTimeout);
    }

    TintraApplicationObserver& observe(Mappings mappings = defaultMappings(),
        std::optional<std::string> bundleIdentifier = "com.example.mail", bool menusOnly = false)
    {
        TintraApplicationObserver::Environment environment {
            ax,
            clock,
            [this] { return frontmost; },
            [this] { return typing; },
            // Stands in for the element snapshot's naming: the title when there is one.
            [this](const AXElement& element) -> std::optional<std::string> {
                auto title = ax.copyAttributeValue(element, "AXTitle");
                if (!title || !title->get<std::string>())
                    return std::nullopt;
                return *title->get<std::string>();
            },
        };
        observer = std::make_unique<TintraApplicationObserver>(std::move(environment), mail, "Mail",
            std::move(bundleIdentifier), app, mappings, [this](const TintraEvent& event) { events.push_back(event); },
            menusOnly);
        return *observer;
    }

    TintraApplicationObserver& attached(Mappings mappings = defaultMappings(),
        std::optional<std::string> bundleIdentifier = "com.example.mail", bool menusOnly = false)
    {
        auto& made = observe(std::move(mappings), std::move(bundleIdentifier), menusOnly);
        EXPECT_TRUE(made.attach().has_value());
        return made;
    }

    AXElement addWindow(AccessibilityFake::Attributes attributes = {})
    {
        attributes.emplace("AXRole", AXValue::text("AXWindow"));
        return ax.addElement(app, std::move(attributes));
    }

    AXElement addTitledWindow(const std::string& title)
    {
        return addWindow({ { "AXTitle", AXValue::text(title) } });
    }

    void setWindows(const std::vector<AXElement>& windows)
    {
        AXValue::List list;
        for (const auto& window : windows)
            list.push_back(AXValue::element(window));
        ax.setAttribute(app, "AXWindows", AXValue::list(std::move(list)));
    }

    // Titled windows that the application announces one after the other.
    std::vector<AXElement> createWindows(int count)
    {
        std::vector<AXElement> windows;
        for (int i = 0; i < count; ++i) {
            windows.push_back(addTitledWindow("Window " + std::to_string(i + 1)));
            ax.post(windows.back(), "AXWindowCreated");
        }
        return windows;
    }

    // The sounds heard since the last call, as their codes' texts.
    std::vector<std::string> heard()
    {
        executor.runPending();
        std::vector<std::string> sounds;
        for (const auto& event : events)
            sounds.push_back(event.soundID.description());
        events.clear();
        return sounds;
    }

    std::vector<std::string> after(const AXElement& element, const std::string& notification)
    {
        ax.post(element, notification);
        return heard();
    }

    bool isTracked(const AXElement& element) const
    {
        const auto& tracked = observer->trackedElements();
        return std::any_of(tracked.begin(), tracked.end(), [&](const auto& entry) { return entry.element == element; });
    }

    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake ax { clock, executor };
    AXElement app;
    std::optional<std::int32_t> frontmost = mail;
    bool typing = false;
    std::unique_ptr<TintraApplicationObserver> observer;
    std::vector<TintraEvent> events;
};

using Sounds = std::vector<std::string>;
const Sounds silence;

// --- Attach and detach

using ApplicationObserverAttach = ApplicationObserverTest;

TEST_F(ApplicationObserverAttach, RegistersEachMappingOnTheApplicationOnceExceptDisappearance)
{
    auto& observer = attached();
    ASSERT_TRUE(observer.attach().has_value());

    std::vector<std::string> expected;
    for (const auto& mapping : defaultMappingsWithout("AXUIElementDestroyed"))
        expected.push_back(mapping.notification.rawValue);
    EXPECT_EQ(observer.registeredRawNames(), expected);
    const auto platformObservers = ax.observers(mail);
    ASSERT_EQ(platformObservers.size(), 1u);
    EXPECT_TRUE(platformObservers[0].started);
    EXPECT_EQ(platformObservers[0].registrations.size(), expected.size());
    EXPECT_FALSE(ax.isRegistered(app, "AXUIElementDestroyed"));
    EXPECT_FALSE(observer.didTimeOut());
}

TEST_F(ApplicationObserverAttach, TwoTimeOutsInARowEndTheRegistrations)
{
    ax.setAddNotificationError(mail, "AXMenuOpened", AXError::cannotComplete);
    ax.setAddNotificationError(mail, "AXMenuClosed", AXError::cannotComplete);
    const auto start = clock.monotonicNow();

    auto& observer = attached({ fixed("AXMenuOpened", "mnuo"), fixed("AXMenuClosed", "mnuc"),
        fixed("AXMenuItemSelected", "mnui"), mappingNamed("AXWindowCreated") });

    EXPECT_TRUE(observer.registeredRawNames().empty());
    EXPECT_FALSE(ax.isRegistered(app, "AXMenuItemSelected"));
    EXPECT_TRUE(observer.didTimeOut());
    EXPECT_EQ(observer.attachDuration(), 2 * seconds(0.25));
    EXPECT_EQ(clock.monotonicNow() - start, observer.attachDuration());
}

TEST_F(ApplicationObserverAttach, ASuccessBetweenTimeOutsLetsRegistrationGoOnButOtherErrorsDoNot)
{
    {
        ax.setAddNotificationError(mail, "AXMenuOpened", AXError::cannotComplete);
        ax.setAddNotificationError(mail, "AXMenuItemSelected", AXError::cannotComplete);
        auto& observer = attached({ fixed("AXMenuOpened", "mnuo"), fixed("AXMenuClosed", "mnuc"),
            fixed("AXMenuItemSelected", "mnui"), fixed("AXRowExpanded", "dscr") });
        EXPECT_EQ(observer.registeredRawNames(), (std::vector<std::string> { "AXMenuClosed", "AXRowExpanded" }));
        EXPECT_TRUE(observer.didTimeOut());
    }
    {
        ax.setAddNotificationError(mail, "AXMenuClosed", AXError::notificationUnsupported);
        auto& observer = attached({ fixed("AXMenuOpened", "mnuo"), fixed("AXMenuClosed", "mnuc"),
            fixed("AXMenuItemSelected", "mnui"), fixed("AXRowExpanded", "dscr") });
        EXPECT_TRUE(observer.registeredRawNames().empty());
        EXPECT_FALSE(ax.isRegistered(app, "AXRowExpanded"));
    }
}

TEST_F(ApplicationObserverAttach, AFailedCreationNamesTheProcessAndTheError)
{
    ax.setObserverCreationError(mail, AXError::cannotComplete);
    auto& observer = observe();

    const auto result = observer.attach();

    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error(),
        (TintraObserverError { TintraObserverError::Case::couldNotCreateObserver, mail, AXError::cannotComplete }));
    EXPECT_EQ(result.error().description(), "AXObserverCreate failed for pid 42 with error -25204");
    EXPECT_TRUE(observer.didTimeOut());
    EXPECT_EQ(observer.attachDuration(), seconds(0.25));
    EXPECT_FALSE(observer.isAttached());

    ax.setObserverCreationError(mail, AXError::apiDisabled);
    auto& refused = observe();
    EXPECT_EQ(refused.attach().error().description(), "AXObserverCreate failed for pid 42 with error -25211");
    EXPECT_FALSE(refused.didTimeOut());
}

TEST_F(ApplicationObserverAttach, TracksAtMostTheFirst32ExistingWindowsWithoutNames)
{
    std::vector<AXElement> windows;
    for (int i = 0; i < 33; ++i)
        windows.push_back(addTitledWindow("Window " + std::to_string(i + 1)));
    setWindows(windows);

    auto& observer = attached();

    ASSERT_EQ(observer.trackedElements().size(), 32u);
    EXPECT_TRUE(ax.isRegistered(windows[31], "AXUIElementDestroyed"));
    EXPECT_FALSE(ax.isRegistered(windows[32], "AXUIElementDestroyed"));
    const auto& first = observer.trackedElements().front();
    EXPECT_EQ(first.element, windows[0]);
    EXPECT_EQ(first.closeSoundID, TintraSoundID("wcls"));
    EXPECT_EQ(first.name, std::nullopt);
    EXPECT_FALSE(first.isHelpTag);

    EXPECT_EQ(after(windows[0], "AXUIElementDestroyed"), Sounds { "wcls" });
    EXPECT_EQ(events.size(), 0u);
}

TEST_F(ApplicationObserverAttach, TheWindowScanNeedsBothWindowMappingsAndAnAnsweringApplication)
{
    const auto window = addWindow();
    setWindows({ window });

    EXPECT_TRUE(attached(defaultMappingsWithout("AXWindowCreated")).trackedElements().empty());
    EXPECT_TRUE(attached(defaultMappingsWithout("AXUIElementDestroyed")).trackedElements().empty());

    ax.setAttribute(app, "AXWindows", AXValue::list({ AXValue::element(window), AXValue::text("not a window") }));
    EXPECT_TRUE(attached().trackedElements().empty());
    setWindows({ window });

    ax.setAddNotificationError(mail, "AXFocusedWindowChanged", AXError::cannotComplete);
    auto& slowToRegister = attached();
    EXPECT_TRUE(slowToRegister.didTimeOut());
    EXPECT_TRUE(slowToRegister.trackedElements().empty());
    ax.setAddNotificationError(mail, "AXFocusedWindowChanged", std::nullopt);

    ax.setAttributeError(app, "AXWindows", AXError::cannotComplete);
    auto& slowWindows = attached();
    EXPECT_TRUE(slowWindows.didTimeOut());
    EXPECT_TRUE(slowWindows.trackedElements().empty());
}

TEST_F(ApplicationObserverAttach, TheWindowScanStopsAtTheFirstWindowThatDoesNotAnswer)
{
    const std::vector<AXElement> windows { addWindow(), addWindow(), addWindow() };
    setWindows(windows);
    ax.setAddNotificationError(mail, "AXUIElementDestroyed", AXError::cannotComplete);

    auto& observer = attached();

    EXPECT_TRUE(observer.didTimeOut());
    EXPECT_TRUE(observer.trackedElements().empty());
    EXPECT_EQ(observer.attachDuration(), ax.effectiveMessagingTimeout(windows[0]));
}

TEST_F(ApplicationObserverAttach, DetachUnregistersEverythingAndSilencesTheApplication)
{
    const auto window = addWindow();
    setWindows({ window });
    auto& observer = attached();
    ASSERT_EQ(observer.trackedElements().size(), 1u);
    // Each removal asks the application once, so the cost counts them.
    ax.setAnswerDelay(mail, seconds(0.01));
    const auto start = clock.monotonicNow();

    observer.detach();

    EXPECT_EQ(clock.monotonicNow() - start, seconds(0.01) * int(defaultMappings().size()));
    EXPECT_FALSE(observer.isAttached());
    EXPECT_TRUE(observer.registeredRawNames().empty());
    EXPECT_TRUE(observer.trackedElements().empty());
    EXPECT_TRUE(ax.observers(mail).empty());
    EXPECT_EQ(after(window, "AXUIElementDestroyed"), silence);

    const auto detached = clock.monotonicNow();
    observer.detach();
    EXPECT_EQ(clock.monotonicNow(), detached);
}

// --- Tracked elements

using ApplicationObserverTracking = ApplicationObserverTest;

TEST_F(ApplicationObserverTracking, The129thWindowEvictsTheFirstAndItsRegistration)
{
    attached();
    const auto windows = createWindows(129);
    EXPECT_EQ(heard().size(), 129u);

    EXPECT_EQ(observer->trackedElements().size(), 128u);
    EXPECT_FALSE(isTracked(windows[0]));
    EXPECT_FALSE(ax.isRegistered(windows[0], "AXUIElementDestroyed"));
    EXPECT_TRUE(isTracked(windows[1]));
    EXPECT_EQ(after(windows[0], "AXUIElementDestroyed"), silence);

    EXPECT_EQ(after(windows[128], "AXUIElementDestroyed"), Sounds { "wcls" });
    EXPECT_FALSE(ax.isRegistered(windows[128], "AXUIElementDestroyed"));
    EXPECT_EQ(observer->trackedElements().size(), 127u);
}

TEST_F(ApplicationObserverTracking, AnElementIsTrackedOnceByValueNotByReference)
{
    attached();
    const auto window = addTitledWindow("Inbox");
    ax.post(window, "AXWindowCreated");
    // Another reference to the same interface object, as a later notification brings it.
    const AXElement sameWindow(window.processIdentifier(), window.identity());
    ax.post(sameWindow, "AXSheetCreated");

    EXPECT_EQ(heard(), (Sounds { "wopn", "dopn" }));
    ASSERT_EQ(observer->trackedElements().size(), 1u);
    EXPECT_EQ(observer->trackedElements()[0].closeSoundID, TintraSoundID("wcls"));
}

TEST_F(ApplicationObserverTracking, TheCloseEventCarriesTheRememberedNameOrNoElement)
{
    attached();
    const auto named = addTitledWindow("Invoice.pdf");
    const auto untitled = addWindow();
    ax.post(named, "AXWindowCreated");
    ax.post(untitled, "AXWindowCreated");
    heard();
    ax.removeElement(named);

    ax.post(named, "AXUIElementDestroyed");
    ax.post(untitled, "AXUIElementDestroyed");
    executor.runPending();

    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].notificationName, "AXUIElementDestroyed");
    EXPECT_EQ(events[0].soundID, TintraSoundID("wcls"));
    EXPECT_EQ(events[0].element, TintraEventElement::named("Invoice.pdf"));
    EXPECT_EQ(events[1].element, std::nullopt);
    EXPECT_TRUE(observer->trackedElements().empty());
}

TEST_F(ApplicationObserverTracking, AnUntrackedElementClosesSilently)
{
    attached();
    const auto windows = createWindows(128);
    heard();
    // The first window's unregistration will go unanswered, so its disappearance still arrives.
    ax.setMessagingTimeout(windows[0], seconds(0.05));
    ax.setAnswerDelay(mail, seconds(0.1));
    ax.post(addWindow(), "AXWindowCreated");
    EXPECT_EQ(heard(), Sounds { "wopn" });
    ASSERT_FALSE(isTracked(windows[0]));
    ASSERT_TRUE(ax.isRegistered(windows[0], "AXUIElementDestroyed"));

    EXPECT_EQ(after(windows[0], "AXUIElementDestroyed"), silence);
    EXPECT_EQ(observer->trackedElements().size(), 128u);
}

TEST_F(ApplicationObserverTracking, WithoutDisappearanceWindowsOpenWithASoundAndCloseSilently)
{
    attached(defaultMappingsWithout("AXUIElementDestroyed"));
    const auto window = addWindow();

    EXPECT_EQ(after(window, "AXWindowCreated"), Sounds { "wopn" });
    EXPECT_TRUE(observer->trackedElements().empty());
    EXPECT_FALSE(ax.isRegistered(window, "AXUIElementDestroyed"));
}

TEST_F(ApplicationObserverTracking, AnElementThatRefusesTheRegistrationIsNotRemembered)
{
    attached();
    ax.setAddNotificationError(mail, "AXUIElementDestroyed", AXError::invalidUIElement);
    const auto window = addWindow();

    EXPECT_EQ(after(window, "AXWindowCreated"), Sounds { "wopn" });
    EXPECT_TRUE(observer->trackedElements().empty());
}

// --- Filters

using ApplicationObserverFilters = ApplicationObserverTest;

TEST_F(ApplicationObserverFilters, MenusOnlyHearsMenuElementsAlone)
{
    const auto menu = ax.addElement(app, { { "AXRole", AXValue::text("AXMenu") } });
    const auto item = ax.addElement(menu, { { "AXRole", AXValue::text("AXMenuBarItem") } });
    const auto roleless = ax.addElement(app);
    const auto window = addWindow();
    attached(defaultMappings(), "com.example.mail", true);

    EXPECT_EQ(after(menu, "AXMenuOpened"), Sounds { "mnuo" });
    EXPECT_EQ(after(item, "AXMenuItemSelected"), Sounds { "mnui" });
    EXPECT_EQ(after(roleless, "AXMenuOpened"), silence);
    EXPECT_EQ(after(window, "AXWindowCreated"), silence);
    EXPECT_TRUE(observer->trackedElements().empty());
}

TEST_F(ApplicationObserverFilters, SelectionsSoundOnlyInFrontAndNotWhileTyping)
{
    const auto list = ax.addElement(app, { { "AXRole", AXValue::text("AXTable") } });
    ax.setAttribute(list, "AXSelectedRows", AXValue::list({ AXValue::element(ax.addElement(list)) }));
    attached();

    EXPECT_EQ(after(list, "AXSelectedRowsChanged"), Sounds { "fsel" });
    frontmost = notes;
    EXPECT_EQ(after(list, "AXSelectedRowsChanged"), silence);
    frontmost = std::nullopt;
    EXPECT_EQ(after(list, "AXSelectedRowsChanged"), silence);
    frontmost = mail;
    typing = true;
    EXPECT_EQ(after(list, "AXSelectedRowsChanged"), silence);
    typing = false;
    EXPECT_EQ(after(list, "AXSelectedRowsChanged"), Sounds { "fsel" });
}

TEST_F(ApplicationObserverFilters, ABackgroundSelectionIsDroppedBeforeAnyQuestion)
{
    const auto list = ax.addElement(app, { { "AXRole", AXValue::text("AXTable") } });
    attached();
    frontmost = notes;
    ax.setAnswerDelay(mail, seconds(0.01));
    const auto start = clock.monotonicNow();

    EXPECT_EQ(after(list, "AXSelectedCellsChanged"), silence);
    EXPECT_EQ(clock.monotonicNow(), start);
}

TEST_F(ApplicationObserverFilters, OnlyAnEmptySelectionListIsSilent)
{
    const auto list = ax.addElement(app, { { "AXRole", AXValue::text("AXTable") } });
    attached();

    ax.setAttribute(list, "AXSelectedCells", AXValue::list({}));
    EXPECT_EQ(after(list, "AXSelectedCellsChanged"), silence);
    // The rows are empty, but the notification is about the columns.
    ax.setAttribute(list, "AXSelectedRows", AXValue::list({}));
    ax.setAttribute(list, "AXSelectedColumns", AXValue::list({ AXValue::element(ax.addElement(list)) }));
    EXPECT_EQ(after(list, "AXSelectedColumnsChanged"), Sounds { "fsel" });
    ax.setAttribute(list, "AXSelectedRows", AXValue::integer(0));
    EXPECT_EQ(after(list, "AXSelectedRowsChanged"), Sounds { "fsel" });
    ax.setAttributeError(list, "AXSelectedRows", AXError::cannotComplete);
    EXPECT_EQ(after(list, "AXSelectedRowsChanged"), Sounds { "fsel" });
}

TEST_F(ApplicationObserverFilters, AHelpTagThatMovesOrResizesIsSilent)
{
    attached();
    const auto helpTag = addWindow({ { "AXSubrole", AXValue::text("AXUnknown") } });
    const auto window = addTitledWindow("Inbox");
    const auto announced = ax.addElement(app, { { "AXRole", AXValue::text("AXHelpTag") } });
    ax.post(helpTag, "AXWindowCreated");
    ax.post(window, "AXWindowCreated");
    ax.post(announced, "AXHelpTagCreated");
    EXPECT_EQ(heard(), (Sounds { "blno", "wopn", "blno" }));

    EXPECT_EQ(after(helpTag, "AXWindowMoved"), silence);
    EXPECT_EQ(after(helpTag, "AXWindowResized"), silence);
    EXPECT_EQ(after(window, "AXWindowMoved"), Sounds { "wmov" });
    // Announced as a help tag, but not recognised as one: its moves sound.
    EXPECT_EQ(after(announced, "AXWindowMoved"), Sounds { "wmov" });
    EXPECT_EQ(after(announced, "AXUIElementDestroyed"), Sounds { "blnc" });
    EXPECT_EQ(after(helpTag, "AXUIElementDestroyed"), Sounds { "blnc" });
}

TEST_F(ApplicationObserverFilters, TheDesktopOfTheFinderIsSilent)
{
    const Mappings focus { fixed("AXFocusedUIElementChanged", "beve") };
    const auto desktopWindow = addWindow({ { "AXDescription", AXValue::text("desktop") } });
    const auto desktop = ax.addElement(desktopWindow, { { "AXDescription", AXValue::text("Desktop") } });
    ax.setAttribute(desktop, "AXWindow", AXValue::element(desktopWindow));
    ax.setParameterizedAttributeNames(desktop, { "AXLineForIndex", "AXReplaceRangeWithText" });

    attached(focus, "com.example.files");
    EXPECT_EQ(after(desktop, "AXFocusedUIElementChanged"), Sounds { "beve" });
    attached(focus, "com.apple.MenuBarAgent");
    EXPECT_EQ(after(desktop, "AXFocusedUIElementChanged"), silence);
    attached(focus, "com.apple.finder");
    EXPECT_EQ(after(desktop, "AXFocusedUIElementChanged"), silence);

    // Its own window: no second description to check.
    ax.setAttribute(desktop, "AXWindow", AXValue::element(desktop));
    EXPECT_EQ(after(desktop, "AXFocusedUIElementChanged"), silence);

    ax.setAttribute(desktop, "AXWindow", AXValue::element(desktopWindow));
    ax.setAttribute(desktopWindow, "AXDescription", AXValue::text("Documents"));
    EXPECT_EQ(after(desktop, "AXFocusedUIElementChanged"), Sounds { "beve" });

    ax.setAttribute(desktopWindow, "AXDescription", AXValue::text("DESKTOP"));
    ax.setParameterizedAttributeNames(desktop, { "AXLineForIndex" });
    EXPECT_EQ(after(desktop, "AXFocusedUIElementChanged"), Sounds { "beve" });

    ax.setParameterizedAttributeNames(desktop, { "AXReplaceRangeWithText" });
    ax.removeAttribute(desktop, "AXWindow");
    EXPECT_EQ(after(desktop, "AXFocusedUIElementChanged"), Sounds { "beve" });
}

// --- Resolutions

using ApplicationObserverResolution = ApplicationObserverTest;

TEST_F(ApplicationObserverResolution, AnEventCarriesTheApplicationTheElementAndTheTime)
{
    attached();
    const auto menu = ax.addElement(app, { { "AXRole", AXValue::text("AXMenu") } });
    clock.advance(seconds(3));

    ax.post(menu, "AXMenuOpened");
    executor.runPending();

    ASSERT_EQ(events.size(), 1u);
    const auto& event = events[0];
    EXPECT_EQ(event.notificationName, "AXMenuOpened");
    EXPECT_EQ(event.soundID, TintraSoundID("mnuo"));
    EXPECT_EQ(event.processIdentifier, mail);
    EXPECT_EQ(event.applicationName, "Mail");
    EXPECT_EQ(event.date, clock.now());
    EXPECT_EQ(event.origin, TintraEventOrigin::application);
    EXPECT_EQ(event.element, TintraEventElement::unnamed(menu));
    EXPECT_EQ(event.detail, std::nullopt);
    EXPECT_EQ(event.disk, std::nullopt);
    EXPECT_EQ(event.application, std::nullopt);
    EXPECT_EQ(event.pan, std::nullopt);
}

TEST_F(ApplicationObserverResolution, ASheetOpensNowAndClosesWithItsName)
{
    attached();
    const auto sheet = ax.addElement(app, { { "AXRole", AXValue::text("AXSheet") }, { "AXTitle", AXValue::text("Save") } });

    EXPECT_EQ(after(sheet, "AXSheetCreated"), Sounds { "dopn" });
    ASSERT_EQ(observer->trackedElements().size(), 1u);
    EXPECT_EQ(observer->trackedElements()[0].name, "Save");
    EXPECT_FALSE(observer->trackedElements()[0].isHelpTag);

    ax.post(sheet, "AXUIElementDestroyed");
    executor.runPending();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].soundID, TintraSoundID("dlgc"));
    EXPECT_EQ(events[0].element, TintraEventElement::named("Save"));
}

TEST_F(ApplicationObserverResolution, SelectedChildrenHiliteMenusAndSelectOnlyInTheDock)
{
    const auto menu = ax.addElement(app, { { "AXRole", AXValue::text("AXMenu") } });
    const auto list = ax.addElement(app, { { "AXRole", AXValue::text("AXList") } });
    const auto roleless = ax.addElement(app);

    attached();
    EXPECT_EQ(after(menu, "AXSelectedChildrenChanged"), Sounds { "mnui" });
    EXPECT_EQ(after(list, "AXSelectedChildrenChanged"), silence);
    EXPECT_EQ(after(roleless, "AXSelectedChildrenChanged"), silence);

    attached(defaultMappings(), "com.apple.dock");
    EXPECT_EQ(after(list, "AXSelectedChildrenChanged"), Sounds { "fsel" });
    EXPECT_EQ(after(roleless, "AXSelectedChildrenChanged"), Sounds { "fsel" });
    EXPECT_EQ(after(menu, "AXSelectedChildrenChanged"), Sounds { "mnui" });

    // With equal codes a menu is no different from any other element.
    const Mappings same { { { "AXSelectedChildrenChanged" }, { R::selectedChildrenChanged { "fsel", "fsel" } }, true } };
    attached(same);
    EXPECT_EQ(after(menu, "AXSelectedChildrenChanged"), silence);
    attached(same, "com.apple.dock");
    EXPECT_EQ(after(menu, "AXSelectedChildrenChanged"), Sounds { "fsel" });
}

TEST_F(ApplicationObserverResolution, WindowKindsFollowTheSubrole)
{
    struct Kind {
        const char* label;
        AccessibilityFake::Attributes attributes;
        Sounds sounds; // open, then close
        bool isHelpTag;
    };
    const auto button = [&] { return AXValue::element(ax.addElement(app)); };
    const std::vector<Kind> kinds {
        { "no subrole", {}, { "wopn", "wcls" }, false },
        { "standard", { { "AXSubrole", AXValue::text("AXStandardWindow") } }, { "wopn", "wcls" }, false },
        { "dialog", { { "AXSubrole", AXValue::text("AXDialog") } }, { "dopn", "dlgc" }, false },
        { "system dialog", { { "AXSubrole", AXValue::text("AXSystemDialog") } }, { "aopn", "altc" }, false },
        { "floating", { { "AXSubrole", AXValue::text("AXFloatingWindow") } }, { "uopn", "ucls" }, false },
        { "system floating", { { "AXSubrole", AXValue::text("AXSystemFloatingWindow") } }, { "uopn", "ucls" }, false },
        { "help tag", { { "AXSubrole", AXValue::text("AXUnknown") } }, { "blno", "blnc" }, true },
        { "help tag, empty title", { { "AXSubrole", AXValue::text("AXUnknown") }, { "AXTitle", AXValue::text("") } },
            { "blno", "blnc" }, true },
        { "help tag, button not an element",
            { { "AXSubrole", AXValue::text("AXUnknown") }, { "AXCloseButton", AXValue::null() } }, { "blno", "blnc" },
            true },
        { "unknown, titled", { { "AXSubrole", AXValue::text("AXUnknown") }, { "AXTitle", AXValue::text("Tools") } },
            { "wopn", "wcls" }, false },
        { "unknown, close button", { { "AXSubrole", AXValue::text("AXUnknown") }, { "AXCloseButton", button() } },
            { "wopn", "wcls" }, false },
        { "unknown, toolbar button", { { "AXSubrole", AXValue::text("AXUnknown") }, { "AXToolbarButton", button() } },
            { "wopn", "wcls" }, false },
        { "subrole not a text", { { "AXSubrole", AXValue::url("AXUnknown") } }, { "wopn", "wcls" }, false },
    };
    attached();

    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.label);
        const auto window = addWindow(kind.attributes);
        auto sounds = after(window, "AXWindowCreated");
        ASSERT_EQ(observer->trackedElements().size(), 1u);
        EXPECT_EQ(observer->trackedElements()[0].isHelpTag, kind.isHelpTag);
        const auto closing = after(window, "AXUIElementDestroyed");
        sounds.insert(sounds.end(), closing.begin(), closing.end());
        EXPECT_EQ(sounds, kind.sounds);
    }
}

} // namespace
} // namespace tintra
