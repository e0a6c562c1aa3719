#include "platform/linux/atspi/AtspiEvents.h"

#include "platform/linux/atspi/AtspiRoles.h"

#include <map>

namespace tintra {
namespace {

const std::string menuOpened = "AXMenuOpened";
const std::string menuClosed = "AXMenuClosed";
const std::string menuItemSelected = "AXMenuItemSelected";
const std::string windowCreated = "AXWindowCreated";
const std::string destroyed = "AXUIElementDestroyed";

bool isMenuItem(AtspiRole role)
{
    return role == ATSPI_ROLE_MENU_ITEM || role == ATSPI_ROLE_CHECK_MENU_ITEM || role == ATSPI_ROLE_RADIO_MENU_ITEM;
}

bool isMenuRole(AtspiRole role)
{
    return isMenuItem(role) || role == ATSPI_ROLE_MENU || role == ATSPI_ROLE_MENU_BAR || role == ATSPI_ROLE_POPUP_MENU;
}

bool isRowRole(AtspiRole role)
{
    return role == ATSPI_ROLE_TABLE_CELL || role == ATSPI_ROLE_LIST_ITEM || role == ATSPI_ROLE_TREE_ITEM
        || role == ATSPI_ROLE_TABLE_ROW;
}

bool isRowContainer(AtspiRole role)
{
    return role == ATSPI_ROLE_TREE_TABLE || role == ATSPI_ROLE_TREE || role == ATSPI_ROLE_TABLE
        || role == ATSPI_ROLE_LIST || role == ATSPI_ROLE_LIST_BOX;
}

bool isPopupWindow(const AtspiEventFacts& event)
{
    return event.sourceRole == ATSPI_ROLE_WINDOW && !isWindowRole(event.sourceRole, event.windowType);
}

using Notifications = std::vector<AtspiNotification>;

Notifications opensOrCloses(bool on) { return { { on ? menuOpened : menuClosed } }; }

// "selected": GTK 3 menu titles and items, Qt rows and tabs, Chromium items.
Notifications selected(const AtspiEventFacts& e, bool on)
{
    if (e.sourceRole == ATSPI_ROLE_MENU && e.parentRole == ATSPI_ROLE_MENU_BAR)
        return opensOrCloses(on);
    if (e.sourceRole == ATSPI_ROLE_MENU && e.parentRole == ATSPI_ROLE_MENU) {
        // A submenu's title: highlighted and opened by the same hover.
        if (on)
            return { { menuItemSelected }, { menuOpened } };
        return { { menuClosed } };
    }
    if (isMenuItem(e.sourceRole))
        return on ? Notifications { { menuItemSelected } } : Notifications {};
    if (isRowRole(e.sourceRole) && isRowContainer(e.parentRole) && on)
        return { { "AXSelectedRowsChanged", AtspiEventSubject::parent } };
    // Qt reports a new tab with detail 0, so either value is a change.
    if (e.sourceRole == ATSPI_ROLE_PAGE_TAB)
        return { { "AXSelectedChildrenChanged", AtspiEventSubject::parent } };
    return {};
}

// "showing" and "visible": pop-up menus, tooltips and Qt's top levels.
Notifications shown(const AtspiEventFacts& e, bool on)
{
    if (e.sourceRole == ATSPI_ROLE_POPUP_MENU)
        return opensOrCloses(on);
    if (e.sourceRole == ATSPI_ROLE_MENU && e.parentRole != ATSPI_ROLE_MENU_BAR && e.parentRole != ATSPI_ROLE_MENU)
        return opensOrCloses(on);
    if (e.sourceRole == ATSPI_ROLE_TOOL_TIP || (e.sourceIsApplicationChild && isWindowRole(e.sourceRole, e.windowType)))
        return { { on ? windowCreated : destroyed } };
    return {};
}

Notifications focused(AtspiToolkit toolkit, const AtspiEventFacts& e)
{
    if (isMenuItem(e.sourceRole)) {
        // GTK 3 highlights with "selected"; its focus follows and would repeat it.
        if (toolkit == AtspiToolkit::gtk3 || e.parentRole == ATSPI_ROLE_MENU_BAR)
            return {};
        return { { menuItemSelected } };
    }
    if (isMenuRole(e.sourceRole))
        return {};
    return { { "AXFocusedUIElementChanged" } };
}

Notifications expanded(const AtspiEventFacts& e, bool on)
{
    // GTK 4 and the browsers open menus and selects by expanding their title.
    if ((isMenuItem(e.sourceRole) && e.parentRole == ATSPI_ROLE_MENU_BAR) || e.sourceRole == ATSPI_ROLE_COMBO_BOX)
        return opensOrCloses(on);
    if (isRowRole(e.sourceRole) || (e.sourceRole == ATSPI_ROLE_PANEL && e.parentRole == ATSPI_ROLE_LIST_ITEM))
        return { { on ? "AXRowExpanded" : "AXRowCollapsed" } };
    return {};
}

} // namespace

std::vector<AtspiNotification> translateEvent(AtspiToolkit toolkit, const AtspiEventFacts& e)
{
    const bool on = e.detail1 != 0;
    const auto& type = e.type;
    const bool visibility = type == "object:state-changed:showing" || type == "object:state-changed:visible";
    if (e.sourceIsMirroredTopLevel) {
        // Firefox ends its drop-down lists and tooltips only by hiding the window that mirrors
        // them; its own top levels it tells of as well.
        if (visibility && !on && e.sourceRole == ATSPI_ROLE_WINDOW)
            return { { menuClosed, AtspiEventSubject::popUp }, { destroyed, AtspiEventSubject::popUp } };
        return {};
    }
    // Firefox adds its tooltip to the window it belongs to.
    if (type == "object:children-changed:add:system" && e.childRole == ATSPI_ROLE_TOOL_TIP)
        return { { windowCreated, AtspiEventSubject::child } };
    // Chromium may tell a context menu it hides as a panel.
    if (visibility && !on && toolkit == AtspiToolkit::chromium && e.sourceRole != ATSPI_ROLE_MENU)
        return { { menuClosed, AtspiEventSubject::openMenu } };
    // Chromium tells of its alerts only by their activation. Its window's going inactive leaves
    // an alert active; one no longer active but in an inactive window has not been dismissed.
    if (type == "object:state-changed:active" && toolkit == AtspiToolkit::chromium) {
        if (on && e.sourceRole == ATSPI_ROLE_DIALOG)
            return { { windowCreated } };
        if (!on && (e.sourceRole == ATSPI_ROLE_INVALID || (e.sourceRole == ATSPI_ROLE_DIALOG && !e.parentIsKnownInactive)))
            return { { destroyed } };
    }
    if (type == "object:state-changed:selected")
        return selected(e, on);
    if (visibility)
        // GTK 4 says 0 as a top level appears, and nothing as it goes but "defunct".
        return shown(e, on || (toolkit == AtspiToolkit::gtk4 && e.sourceIsApplicationChild));
    // GTK 4 ends a closed window only by marking it and all within it defunct.
    if (type == "object:state-changed:defunct" && on && toolkit == AtspiToolkit::gtk4 && e.sourceIsApplicationChild
        && isWindowRole(e.sourceRole, e.windowType))
        return { { destroyed } };
    if (type == "object:state-changed:focused")
        return on ? focused(toolkit, e) : Notifications {};
    if (type == "object:state-changed:expanded")
        return expanded(e, on);
    if (type == "object:state-changed:iconified")
        return { { on ? "AXWindowMiniaturized" : "AXWindowDeminiaturized" } };
    if (type == "window:create")
        return isPopupWindow(e) ? Notifications { { menuOpened } } : Notifications { { windowCreated } };
    if (type == "window:destroy")
        return isPopupWindow(e) ? Notifications { { menuClosed } } : Notifications { { destroyed } };
    // GTK 4 activates only its frames with "window:activate", its dialogs by their state.
    const bool activatedDialog = type == "object:state-changed:active" && on && toolkit == AtspiToolkit::gtk4
        && e.sourceIsApplicationChild && e.sourceRole != ATSPI_ROLE_FRAME && isWindowRole(e.sourceRole, e.windowType);
    if ((type == "window:activate" && !isPopupWindow(e)) || activatedDialog)
        return { { "AXFocusedWindowChanged" }, { "AXMainWindowChanged" }, { "AXApplicationActivated" } };
    if (type == "object:selection-changed") {
        if (isRowContainer(e.sourceRole))
            return { { "AXSelectedRowsChanged" } };
        if (e.sourceRole == ATSPI_ROLE_PAGE_TAB_LIST)
            return { { "AXSelectedChildrenChanged" } };
        return {};
    }
    if (type == "object:property-change:accessible-value") {
        if (e.sourceRole == ATSPI_ROLE_SLIDER || e.sourceRole == ATSPI_ROLE_SPIN_BUTTON
            || e.sourceRole == ATSPI_ROLE_SCROLL_BAR)
            return { { "AXValueChanged" } };
        return {};
    }
    // Qt shows its tooltip by naming it, without a "showing".
    if (type == "object:property-change:accessible-name" && e.sourceRole == ATSPI_ROLE_TOOL_TIP && e.sourceIsApplicationChild)
        return { { windowCreated } };
    if (type == "object:bounds-changed" && e.sourceIsApplicationChild && isWindowRole(e.sourceRole, e.windowType))
        return { { "AXWindowResized" } };
    return {};
}

const std::vector<std::string>& atspiEventTypes(const std::string& notification)
{
    static const std::vector<std::string> menus { "object:state-changed:selected", "object:state-changed:showing",
        "object:state-changed:visible", "object:state-changed:expanded", "window:create", "window:destroy" };
    static const std::vector<std::string> activation { "window:activate", "object:state-changed:active" };
    static const std::vector<std::string> selection { "object:selection-changed", "object:state-changed:selected" };
    static const std::vector<std::string> expansion { "object:state-changed:expanded" };
    static const std::vector<std::string> iconified { "object:state-changed:iconified" };
    static const std::map<std::string, std::vector<std::string>> table {
        { menuOpened, menus },
        { menuClosed, menus },
        { menuItemSelected, { "object:state-changed:selected", "object:state-changed:focused" } },
        { windowCreated,
            { "window:create", "object:state-changed:showing", "object:state-changed:visible",
                "object:property-change:accessible-name", "object:children-changed:add:system",
                "object:state-changed:active" } },
        // The removal of an application from the desktop ends every window it left open.
        { destroyed,
            { "window:destroy", "object:state-changed:showing", "object:state-changed:visible",
                "object:state-changed:defunct", "object:children-changed:remove", "object:state-changed:active" } },
        { "AXWindowMiniaturized", iconified },
        { "AXWindowDeminiaturized", iconified },
        { "AXWindowResized", { "object:bounds-changed" } },
        { "AXFocusedWindowChanged", activation },
        { "AXMainWindowChanged", activation },
        { "AXApplicationActivated", activation },
        { "AXSelectedRowsChanged", selection },
        { "AXSelectedChildrenChanged", selection },
        { "AXRowExpanded", expansion },
        { "AXRowCollapsed", expansion },
        { "AXValueChanged", { "object:property-change:accessible-value" } },
        { "AXFocusedUIElementChanged", { "object:state-changed:focused" } },
    };
    static const std::vector<std::string> none;
    const auto found = table.find(notification);
    return found == table.end() ? none : found->second;
}

bool isMenuNotification(const std::string& notification)
{
    return notification == menuOpened || notification == menuClosed;
}

} // namespace tintra
