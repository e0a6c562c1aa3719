#include "platform/linux/atspi/AtspiEvents.h"
#include "platform/linux/atspi/AtspiRepeatFilter.h"
#include "platform/linux/atspi/AtspiRoles.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

AtspiRoleFacts element(AtspiRole role, AtspiRole parent = ATSPI_ROLE_INVALID)
{
    AtspiRoleFacts facts;
    facts.role = role;
    facts.parentRole = parent;
    facts.parentIsApplication = parent == ATSPI_ROLE_APPLICATION;
    return facts;
}

AtspiRoleFacts withState(AtspiRoleFacts facts, AtspiStateType state)
{
    facts.states |= std::uint64_t { 1 } << state;
    return facts;
}

// The rows where toolkits disagree: each decides a control kind or a window
// kind, so a wrong row is a wrong sound.
TEST(AtspiRoles, EachToolkitFamilyReadsItsOwnShapes)
{
    using T = AtspiToolkit;
    struct Case {
        const char* what;
        T toolkit;
        AtspiRoleFacts facts;
        AXRoles expected;
    };
    auto headerButton = [](const char* name, AtspiRole grandparent) {
        auto facts = element(ATSPI_ROLE_PUSH_BUTTON, ATSPI_ROLE_FILLER);
        facts.grandparentRole = grandparent;
        facts.name = name;
        return facts;
    };
    auto named = [](AtspiRoleFacts facts, const char* name, std::vector<std::string> actions = {}) {
        facts.name = name;
        facts.actions = std::move(actions);
        return facts;
    };
    auto window = [](const char* type) {
        auto facts = element(ATSPI_ROLE_WINDOW, ATSPI_ROLE_APPLICATION);
        facts.windowType = type;
        return facts;
    };
    auto owning = [](AtspiRoleFacts facts, bool menu, bool text) {
        facts.ownsMenu = menu;
        facts.ownsEditableText = text;
        return facts;
    };
    const std::vector<Case> cases {
        { "GTK 3 menu-bar title", T::gtk3, element(ATSPI_ROLE_MENU, ATSPI_ROLE_MENU_BAR), { "AXMenuBarItem", "" } },
        { "GTK 3 submenu title", T::gtk3, element(ATSPI_ROLE_MENU, ATSPI_ROLE_MENU), { "AXMenuItem", "" } },
        { "GTK 3 pop-up menu", T::gtk3, element(ATSPI_ROLE_MENU, ATSPI_ROLE_WINDOW), { "AXMenu", "" } },
        { "Qt menu-bar title", T::qt, element(ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU_BAR), { "AXMenuBarItem", "" } },
        { "Qt menu item", T::qt, element(ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_POPUP_MENU), { "AXMenuItem", "" } },
        { "GTK 3 header-bar close", T::gtk3, headerButton("Close", ATSPI_ROLE_PANEL), { "AXButton", "AXCloseButton" } },
        { "GTK 3 header-bar maximise", T::gtk3, headerButton("Maximize", ATSPI_ROLE_PANEL),
            { "AXButton", "AXZoomButton" } },
        { "GTK 3 Close button of a dialog's content", T::gtk3, headerButton("Close", ATSPI_ROLE_FILLER),
            { "AXButton", "" } },
        { "Qt button named Close", T::qt, headerButton("Close", ATSPI_ROLE_PANEL), { "AXButton", "" } },
        { "GTK 3 expander", T::gtk3, withState(element(ATSPI_ROLE_TOGGLE_BUTTON), ATSPI_STATE_EXPANDABLE),
            { "AXDisclosureTriangle", "" } },
        { "GTK 3 switch", T::gtk3, named(element(ATSPI_ROLE_TOGGLE_BUTTON), "", { "toggle" }),
            { "AXCheckBox", "AXSwitch" } },
        { "GTK 3 toggle button", T::gtk3, named(element(ATSPI_ROLE_TOGGLE_BUTTON), "Toggle", { "click" }),
            { "AXCheckBox", "AXToggle" } },
        { "GTK 3 menu button", T::gtk3, owning(element(ATSPI_ROLE_TOGGLE_BUTTON), true, false),
            { "AXMenuButton", "" } },
        { "Qt tool button with a menu", T::qt, named(element(ATSPI_ROLE_PUSH_BUTTON), "Tool", { "Press", "ShowMenu" }),
            { "AXMenuButton", "" } },
        { "GTK 3 button offering ShowMenu", T::gtk3, named(element(ATSPI_ROLE_PUSH_BUTTON), "Push", { "ShowMenu" }),
            { "AXButton", "" } },
        { "GTK 4 menu button", T::gtk4, withState(element(ATSPI_ROLE_PUSH_BUTTON), ATSPI_STATE_EXPANDABLE),
            { "AXMenuButton", "" } },
        { "Chromium button with a pop-up", T::chromium,
            withState(element(ATSPI_ROLE_PUSH_BUTTON), ATSPI_STATE_HAS_POPUP), { "AXMenuButton", "" } },
        { "GTK 3 button with a pop-up", T::gtk3, withState(element(ATSPI_ROLE_PUSH_BUTTON), ATSPI_STATE_HAS_POPUP),
            { "AXButton", "" } },
        { "combo box", T::gtk3, owning(element(ATSPI_ROLE_COMBO_BOX), true, false), { "AXPopUpButton", "" } },
        { "editable combo box", T::qt, owning(element(ATSPI_ROLE_COMBO_BOX), false, true), { "AXComboBox", "" } },
        { "tab", T::gtk3, element(ATSPI_ROLE_PAGE_TAB, ATSPI_ROLE_PAGE_TAB_LIST), { "AXRadioButton", "AXTabButton" } },
        { "tab list", T::qt, element(ATSPI_ROLE_PAGE_TAB_LIST), { "AXTabGroup", "" } },
        { "tree row", T::gtk3, withState(element(ATSPI_ROLE_TABLE_CELL, ATSPI_ROLE_TREE_TABLE), ATSPI_STATE_EXPANDABLE),
            { "AXRow", "AXOutlineRow" } },
        { "table cell", T::gtk3, element(ATSPI_ROLE_TABLE_CELL, ATSPI_ROLE_TABLE), { "AXCell", "" } },
        { "Qt plain top level", T::qt, element(ATSPI_ROLE_FILLER, ATSPI_ROLE_APPLICATION),
            { "AXWindow", "AXStandardWindow" } },
        { "GTK 3 filler below the application", T::gtk3, element(ATSPI_ROLE_FILLER, ATSPI_ROLE_APPLICATION),
            { "AXGroup", "" } },
        { "GTK 3 context menu window", T::gtk3, window("popup-menu"), { "AXMenu", "" } },
        { "GTK 3 utility window", T::gtk3, window("utility"), { "AXWindow", "AXFloatingWindow" } },
        { "frame", T::gtk3, element(ATSPI_ROLE_FRAME, ATSPI_ROLE_APPLICATION), { "AXWindow", "AXStandardWindow" } },
        { "dialog", T::qt, element(ATSPI_ROLE_DIALOG, ATSPI_ROLE_APPLICATION), { "AXWindow", "AXDialog" } },
        { "file chooser", T::gtk3, element(ATSPI_ROLE_FILE_CHOOSER), { "AXWindow", "AXDialog" } },
        { "alert", T::gtk3, element(ATSPI_ROLE_ALERT), { "AXWindow", "AXSystemDialog" } },
        { "tooltip", T::gtk3, element(ATSPI_ROLE_TOOL_TIP), { "AXWindow", "AXUnknown" } },
        { "spin button", T::qt, element(ATSPI_ROLE_SPIN_BUTTON), { "AXIncrementor", "" } },
        { "scroll bar", T::gtk3, element(ATSPI_ROLE_SCROLL_BAR), { "AXScrollBar", "" } },
        { "slider", T::gtk3, element(ATSPI_ROLE_SLIDER), { "AXSlider", "" } },
        { "a role no row knows", T::other, element(ATSPI_ROLE_CALENDAR), { "AXUnknown", "" } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(axRoles(c.toolkit, c.facts), c.expected) << c.what;
}

TEST(AtspiRoles, ToolkitNamesAndDialogButtons)
{
    EXPECT_EQ(toolkitFamily("GTK", "3.24.38"), AtspiToolkit::gtk3);
    EXPECT_EQ(toolkitFamily("GTK", "4.8.3"), AtspiToolkit::gtk4);
    EXPECT_EQ(toolkitFamily("gtk", "3.24.38"), AtspiToolkit::gtk3);
    EXPECT_EQ(toolkitFamily("Qt", "6.4.2"), AtspiToolkit::qt);
    EXPECT_EQ(toolkitFamily("Gecko", "153.8.0"), AtspiToolkit::gecko);
    EXPECT_EQ(toolkitFamily("Chromium", "1.0"), AtspiToolkit::chromium);
    EXPECT_EQ(toolkitFamily("Tk", "8.6"), AtspiToolkit::other);

    EXPECT_TRUE(isCancelName("_Cancel"));
    EXPECT_TRUE(isCancelName("&Cancel"));
    EXPECT_FALSE(isCancelName("Cancel Order"));
    EXPECT_FALSE(isCancelName("OK"));
}

struct Step {
    const char* type;
    int detail1;
    AtspiRole source;
    AtspiRole parent;
    std::string windowType = {};
    bool parentIsKnownInactive = false;
};

// The notifications of a recorded sequence of events, in order.
std::vector<std::string> translated(AtspiToolkit toolkit, const std::vector<Step>& steps)
{
    std::vector<std::string> names;
    for (const auto& step : steps) {
        AtspiEventFacts facts;
        facts.type = step.type;
        facts.detail1 = step.detail1;
        facts.sourceRole = step.source;
        facts.parentRole = step.parent;
        facts.sourceIsApplicationChild = step.parent == ATSPI_ROLE_APPLICATION;
        facts.windowType = step.windowType;
        facts.parentIsKnownInactive = step.parentIsKnownInactive;
        for (const auto& notification : translateEvent(toolkit, facts))
            names.push_back(notification.name);
    }
    return names;
}

using Names = std::vector<std::string>;

// The sequences measured on each toolkit: opening a menu bar's menu,
// moving down one item, closing it.
TEST(AtspiEvents, MenusOfGtk3AndQtGiveOpenedHighlightedClosed)
{
    const Names gtk3 = translated(AtspiToolkit::gtk3,
        {
            { "object:state-changed:showing", 1, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU },
            { "object:state-changed:selected", 1, ATSPI_ROLE_MENU, ATSPI_ROLE_MENU_BAR },
            { "object:selection-changed", 0, ATSPI_ROLE_MENU_BAR, ATSPI_ROLE_FILLER },
            { "object:state-changed:focused", 1, ATSPI_ROLE_MENU, ATSPI_ROLE_MENU_BAR },
            { "object:state-changed:selected", 0, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU },
            { "object:selection-changed", 0, ATSPI_ROLE_MENU, ATSPI_ROLE_MENU_BAR },
            { "object:state-changed:selected", 1, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU },
            { "object:state-changed:focused", 1, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU },
            { "object:state-changed:showing", 0, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU },
            { "object:state-changed:selected", 0, ATSPI_ROLE_MENU, ATSPI_ROLE_MENU_BAR },
            { "object:state-changed:focused", 1, ATSPI_ROLE_PUSH_BUTTON, ATSPI_ROLE_PANEL },
        });
    EXPECT_EQ(gtk3, (Names { "AXMenuOpened", "AXMenuItemSelected", "AXMenuClosed", "AXFocusedUIElementChanged" }));

    const Names qt = translated(AtspiToolkit::qt,
        {
            { "object:state-changed:focused", 1, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU_BAR },
            { "object:state-changed:showing", 1, ATSPI_ROLE_POPUP_MENU, ATSPI_ROLE_MENU_ITEM },
            { "object:state-changed:focused", 1, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_POPUP_MENU },
            { "object:state-changed:focused", 0, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_POPUP_MENU },
            { "object:state-changed:focused", 1, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_POPUP_MENU },
            { "object:state-changed:showing", 0, ATSPI_ROLE_POPUP_MENU, ATSPI_ROLE_MENU_ITEM },
            { "object:state-changed:focused", 1, ATSPI_ROLE_MENU_ITEM, ATSPI_ROLE_MENU_BAR },
        });
    EXPECT_EQ(qt, (Names { "AXMenuOpened", "AXMenuItemSelected", "AXMenuItemSelected", "AXMenuClosed" }));

    // A GTK 3 combo box opens with three events, which the per-application
    // repeat filter turns into one opening.
    const Names combo = translated(AtspiToolkit::gtk3,
        {
            { "object:state-changed:visible", 1, ATSPI_ROLE_MENU, ATSPI_ROLE_WINDOW },
            { "object:state-changed:showing", 1, ATSPI_ROLE_MENU, ATSPI_ROLE_WINDOW },
            { "window:create", 0, ATSPI_ROLE_WINDOW, ATSPI_ROLE_APPLICATION, "combo" },
            { "window:activate", 0, ATSPI_ROLE_WINDOW, ATSPI_ROLE_APPLICATION, "combo" },
            { "window:destroy", 0, ATSPI_ROLE_WINDOW, ATSPI_ROLE_APPLICATION, "combo" },
        });
    EXPECT_EQ(combo, (Names { "AXMenuOpened", "AXMenuOpened", "AXMenuOpened", "AXMenuClosed" }));
}

TEST(AtspiEvents, WindowsOfEachToolkitAppearAndGo)
{
    const Names gtk3 = translated(AtspiToolkit::gtk3,
        {
            { "window:create", 0, ATSPI_ROLE_DIALOG, ATSPI_ROLE_APPLICATION },
            { "window:activate", 0, ATSPI_ROLE_DIALOG, ATSPI_ROLE_APPLICATION },
            { "object:state-changed:iconified", 1, ATSPI_ROLE_FRAME, ATSPI_ROLE_APPLICATION },
            { "object:state-changed:iconified", 0, ATSPI_ROLE_FRAME, ATSPI_ROLE_APPLICATION },
            { "object:bounds-changed", 0, ATSPI_ROLE_FRAME, ATSPI_ROLE_APPLICATION },
            { "object:bounds-changed", 0, ATSPI_ROLE_PUSH_BUTTON, ATSPI_ROLE_PANEL },
            { "object:state-changed:visible", 1, ATSPI_ROLE_TOOL_TIP, ATSPI_ROLE_INVALID },
            { "object:state-changed:visible", 0, ATSPI_ROLE_TOOL_TIP, ATSPI_ROLE_INVALID },
            { "window:destroy", 0, ATSPI_ROLE_DIALOG, ATSPI_ROLE_APPLICATION },
        });
    EXPECT_EQ(gtk3,
        (Names { "AXWindowCreated", "AXFocusedWindowChanged", "AXMainWindowChanged", "AXApplicationActivated",
            "AXWindowMiniaturized", "AXWindowDeminiaturized", "AXWindowResized", "AXWindowCreated",
            "AXUIElementDestroyed", "AXUIElementDestroyed" }));

    // Qt has no window events: its top levels show and hide.
    const Names qt = translated(AtspiToolkit::qt,
        {
            { "object:state-changed:showing", 1, ATSPI_ROLE_ALERT, ATSPI_ROLE_APPLICATION },
            { "object:state-changed:showing", 1, ATSPI_ROLE_PUSH_BUTTON, ATSPI_ROLE_FILLER },
            { "object:state-changed:showing", 0, ATSPI_ROLE_FILLER, ATSPI_ROLE_APPLICATION },
        });
    EXPECT_EQ(qt, (Names { "AXWindowCreated", "AXUIElementDestroyed" }));

    // GTK 4 says "showing" 0 as a top level appears, ends it only as defunct, and activates a
    // dialog by its state alone.
    const Names gtk4 = translated(AtspiToolkit::gtk4,
        {
            { "object:state-changed:showing", 0, ATSPI_ROLE_DIALOG, ATSPI_ROLE_APPLICATION },
            { "object:state-changed:active", 1, ATSPI_ROLE_DIALOG, ATSPI_ROLE_APPLICATION },
            { "object:state-changed:active", 1, ATSPI_ROLE_FRAME, ATSPI_ROLE_APPLICATION },
            { "object:state-changed:defunct", 1, ATSPI_ROLE_PUSH_BUTTON, ATSPI_ROLE_PANEL },
            { "object:state-changed:defunct", 1, ATSPI_ROLE_DIALOG, ATSPI_ROLE_APPLICATION },
        });
    EXPECT_EQ(gtk4,
        (Names { "AXWindowCreated", "AXFocusedWindowChanged", "AXMainWindowChanged", "AXApplicationActivated",
            "AXUIElementDestroyed" }));

    // Chromium tells of an alert only by its activation. Its window's state is read as it ends:
    // when that read fails, the alert has gone all the same.
    const Names chromium = translated(AtspiToolkit::chromium,
        {
            { "object:state-changed:active", 1, ATSPI_ROLE_DIALOG, ATSPI_ROLE_FRAME },
            { "object:state-changed:active", 0, ATSPI_ROLE_DIALOG, ATSPI_ROLE_FRAME, {}, true },
            { "object:state-changed:active", 0, ATSPI_ROLE_DIALOG, ATSPI_ROLE_FRAME },
            { "object:state-changed:active", 0, ATSPI_ROLE_INVALID, ATSPI_ROLE_INVALID },
        });
    EXPECT_EQ(chromium, (Names { "AXWindowCreated", "AXUIElementDestroyed", "AXUIElementDestroyed" }));
}

TEST(AtspiEvents, SelectionsAreAboutTheirContainer)
{
    AtspiEventFacts qtRow;
    qtRow.type = "object:state-changed:selected";
    qtRow.detail1 = 1;
    qtRow.sourceRole = ATSPI_ROLE_TABLE_CELL;
    qtRow.parentRole = ATSPI_ROLE_TREE;
    EXPECT_EQ(translateEvent(AtspiToolkit::qt, qtRow),
        (std::vector<AtspiNotification> { { "AXSelectedRowsChanged", AtspiEventSubject::parent } }));

    // Qt reports the newly selected tab with detail 0.
    AtspiEventFacts qtTab = qtRow;
    qtTab.detail1 = 0;
    qtTab.sourceRole = ATSPI_ROLE_PAGE_TAB;
    qtTab.parentRole = ATSPI_ROLE_PAGE_TAB_LIST;
    EXPECT_EQ(translateEvent(AtspiToolkit::qt, qtTab),
        (std::vector<AtspiNotification> { { "AXSelectedChildrenChanged", AtspiEventSubject::parent } }));

    AtspiEventFacts gtkTree;
    gtkTree.type = "object:selection-changed";
    gtkTree.sourceRole = ATSPI_ROLE_TREE_TABLE;
    EXPECT_EQ(translateEvent(AtspiToolkit::gtk3, gtkTree),
        (std::vector<AtspiNotification> { { "AXSelectedRowsChanged", AtspiEventSubject::source } }));
}

TEST(AtspiEvents, OnlyNotificationsThatSomeEventTellsSubscribe)
{
    EXPECT_FALSE(atspiEventTypes("AXMenuOpened").empty());
    EXPECT_EQ(atspiEventTypes("AXWindowResized"), (std::vector<std::string> { "object:bounds-changed" }));
    // Moves come from the window server, never from AT-SPI.
    EXPECT_TRUE(atspiEventTypes("AXWindowMoved").empty());
    EXPECT_TRUE(atspiEventTypes("AXNoSuchNotification").empty());
}

TEST(AtspiRepeatFilter, AdmitsOnePerKeyWithinTheWindow)
{
    AtspiRepeatFilter filter(std::chrono::milliseconds(100));
    const MonotonicTime start {};
    EXPECT_TRUE(filter.admit("AXMenuOpened 42", start));
    EXPECT_FALSE(filter.admit("AXMenuOpened 42", start + std::chrono::milliseconds(99)));
    EXPECT_TRUE(filter.admit("AXMenuClosed 42", start + std::chrono::milliseconds(99)));
    EXPECT_TRUE(filter.admit("AXMenuOpened 43", start + std::chrono::milliseconds(99)));
    EXPECT_TRUE(filter.admit("AXMenuOpened 42", start + std::chrono::milliseconds(100)));
    EXPECT_FALSE(filter.admit("AXMenuOpened 42", start + std::chrono::milliseconds(150)));

    // Old keys are let go without forgetting recent ones.
    for (int i = 0; i < 300; ++i)
        EXPECT_TRUE(filter.admit("key " + std::to_string(i), start + std::chrono::seconds(10)));
    EXPECT_FALSE(filter.admit("key 7", start + std::chrono::seconds(10) + std::chrono::milliseconds(50)));
    EXPECT_TRUE(filter.admit("AXMenuOpened 42", start + std::chrono::seconds(10)));
}

} // namespace
} // namespace tintra
