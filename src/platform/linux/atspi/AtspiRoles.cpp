#include "platform/linux/atspi/AtspiRoles.h"

#include <algorithm>
#include <array>
#include <span>

namespace tintra {
namespace {

using Facts = AtspiRoleFacts;

struct Row {
    AtspiRole role;
    bool (*when)(const Facts&);
    const char* axRole;
    const char* subrole;
};

bool always(const Facts&) { return true; }

bool isTreeParent(AtspiRole role)
{
    return role == ATSPI_ROLE_TREE_TABLE || role == ATSPI_ROLE_TREE || role == ATSPI_ROLE_TABLE;
}

// GTK 3: the menu-bar titles are menus, buttons of a header bar sit in a
// filler inside its panel, and the header bar names them in the C locale.
const Row gtk3Rows[] {
    { ATSPI_ROLE_PUSH_BUTTON,
        [](const Facts& f) {
            return f.parentRole == ATSPI_ROLE_FILLER && f.grandparentRole == ATSPI_ROLE_PANEL
                && !headerBarButtonSubrole(f.name).empty();
        },
        "AXButton", nullptr },
};

// GTK 4: a menu button is an expandable push button around another.
const Row gtk4Rows[] {
    { ATSPI_ROLE_PUSH_BUTTON, [](const Facts& f) { return f.has(ATSPI_STATE_EXPANDABLE); }, "AXMenuButton", "" },
    { ATSPI_ROLE_CHECK_BOX, [](const Facts& f) { return f.name == "GtkSwitch"; }, "AXCheckBox", "AXSwitch" },
    { ATSPI_ROLE_FILLER, [](const Facts& f) { return f.parentIsApplication; }, "AXWindow", "AXDialog" },
};

// Qt: a tool button with a menu offers "ShowMenu"; plain top levels are fillers.
const Row qtRows[] {
    { ATSPI_ROLE_PUSH_BUTTON, [](const Facts& f) { return f.hasAction("ShowMenu"); }, "AXMenuButton", "" },
    { ATSPI_ROLE_FILLER, [](const Facts& f) { return f.parentIsApplication; }, "AXWindow", "AXStandardWindow" },
};

// The browsers mark a button that opens a menu with has-popup; Firefox's disclosure (a details'
// summary) is a push button that expands. Chromium draws its own title bar, whose buttons lie
// two panels below the frame.
const Row browserRows[] {
    { ATSPI_ROLE_PUSH_BUTTON,
        [](const Facts& f) {
            return f.parentRole == ATSPI_ROLE_PANEL && f.grandparentRole == ATSPI_ROLE_PANEL
                && f.greatGrandparentRole == ATSPI_ROLE_FRAME && !headerBarButtonSubrole(f.name).empty();
        },
        "AXButton", nullptr },
    { ATSPI_ROLE_PUSH_BUTTON, [](const Facts& f) { return f.has(ATSPI_STATE_HAS_POPUP); }, "AXMenuButton", "" },
    { ATSPI_ROLE_PUSH_BUTTON, [](const Facts& f) { return f.has(ATSPI_STATE_EXPANDABLE); }, "AXDisclosureTriangle",
        "" },
    { ATSPI_ROLE_TOGGLE_BUTTON, [](const Facts& f) { return f.has(ATSPI_STATE_EXPANDABLE); }, "AXDisclosureTriangle",
        "" },
};

const Row commonRows[] {
    { ATSPI_ROLE_APPLICATION, always, "AXApplication", "" },
    { ATSPI_ROLE_FRAME, always, "AXWindow", "AXStandardWindow" },
    { ATSPI_ROLE_DIALOG, always, "AXWindow", "AXDialog" },
    { ATSPI_ROLE_FILE_CHOOSER, always, "AXWindow", "AXDialog" },
    { ATSPI_ROLE_ALERT, always, "AXWindow", "AXSystemDialog" },
    { ATSPI_ROLE_WINDOW, [](const Facts& f) { return f.windowType == "popup-menu" || f.windowType == "combo"; },
        "AXMenu", "" },
    { ATSPI_ROLE_WINDOW, [](const Facts& f) { return f.windowType == "utility"; }, "AXWindow", "AXFloatingWindow" },
    { ATSPI_ROLE_WINDOW, always, "AXWindow", "AXStandardWindow" },
    // A help tag is a window without a subrole of its own.
    { ATSPI_ROLE_TOOL_TIP, always, "AXWindow", "AXUnknown" },
    { ATSPI_ROLE_PUSH_BUTTON_MENU, always, "AXMenuButton", "" },
    { ATSPI_ROLE_PUSH_BUTTON, always, "AXButton", "" },
    { ATSPI_ROLE_TOGGLE_BUTTON, [](const Facts& f) { return f.has(ATSPI_STATE_EXPANDABLE); }, "AXDisclosureTriangle",
        "" },
    { ATSPI_ROLE_TOGGLE_BUTTON, [](const Facts& f) { return f.ownsMenu; }, "AXMenuButton", "" },
    { ATSPI_ROLE_TOGGLE_BUTTON, [](const Facts& f) { return f.name.empty() && f.hasAction("toggle"); }, "AXCheckBox",
        "AXSwitch" },
    { ATSPI_ROLE_TOGGLE_BUTTON, always, "AXCheckBox", "AXToggle" },
    { ATSPI_ROLE_CHECK_BOX, always, "AXCheckBox", "" },
    { ATSPI_ROLE_RADIO_BUTTON, always, "AXRadioButton", "" },
    { ATSPI_ROLE_PAGE_TAB, always, "AXRadioButton", "AXTabButton" },
    { ATSPI_ROLE_PAGE_TAB_LIST, always, "AXTabGroup", "" },
    { ATSPI_ROLE_COMBO_BOX, [](const Facts& f) { return f.ownsEditableText; }, "AXComboBox", "" },
    { ATSPI_ROLE_COMBO_BOX, always, "AXPopUpButton", "" },
    { ATSPI_ROLE_SPIN_BUTTON, always, "AXIncrementor", "" },
    { ATSPI_ROLE_SCROLL_BAR, always, "AXScrollBar", "" },
    { ATSPI_ROLE_SLIDER, always, "AXSlider", "" },
    { ATSPI_ROLE_TABLE_CELL,
        [](const Facts& f) { return isTreeParent(f.parentRole) && f.has(ATSPI_STATE_EXPANDABLE); }, "AXRow",
        "AXOutlineRow" },
    { ATSPI_ROLE_TABLE_CELL, always, "AXCell", "" },
    { ATSPI_ROLE_TREE_ITEM, always, "AXRow", "AXOutlineRow" },
    { ATSPI_ROLE_TABLE_ROW, always, "AXRow", "AXTableRow" },
    { ATSPI_ROLE_LIST_ITEM, always, "AXRow", "" },
    { ATSPI_ROLE_TREE_TABLE, always, "AXOutline", "" },
    { ATSPI_ROLE_TREE, always, "AXOutline", "" },
    { ATSPI_ROLE_TABLE, always, "AXTable", "" },
    { ATSPI_ROLE_LIST, always, "AXList", "" },
    { ATSPI_ROLE_LIST_BOX, always, "AXList", "" },
    { ATSPI_ROLE_TABLE_COLUMN_HEADER, always, "AXButton", "AXSortButton" },
    { ATSPI_ROLE_MENU_BAR, always, "AXMenuBar", "" },
    { ATSPI_ROLE_MENU, [](const Facts& f) { return f.parentRole == ATSPI_ROLE_MENU_BAR; }, "AXMenuBarItem", "" },
    { ATSPI_ROLE_MENU, [](const Facts& f) { return f.parentRole == ATSPI_ROLE_MENU; }, "AXMenuItem", "" },
    { ATSPI_ROLE_MENU, always, "AXMenu", "" },
    { ATSPI_ROLE_POPUP_MENU, always, "AXMenu", "" },
    { ATSPI_ROLE_MENU_ITEM, [](const Facts& f) { return f.parentRole == ATSPI_ROLE_MENU_BAR; }, "AXMenuBarItem", "" },
    { ATSPI_ROLE_MENU_ITEM, always, "AXMenuItem", "" },
    { ATSPI_ROLE_CHECK_MENU_ITEM, always, "AXMenuItem", "" },
    { ATSPI_ROLE_RADIO_MENU_ITEM, always, "AXMenuItem", "" },
    { ATSPI_ROLE_TEAROFF_MENU_ITEM, always, "AXMenuItem", "" },
    { ATSPI_ROLE_LABEL, always, "AXStaticText", "" },
    { ATSPI_ROLE_STATIC, always, "AXStaticText", "" },
    { ATSPI_ROLE_TEXT, always, "AXTextField", "" },
    { ATSPI_ROLE_ENTRY, always, "AXTextField", "" },
    { ATSPI_ROLE_PASSWORD_TEXT, always, "AXTextField", "AXSecureTextField" },
    { ATSPI_ROLE_LINK, always, "AXLink", "" },
    { ATSPI_ROLE_IMAGE, always, "AXImage", "" },
    { ATSPI_ROLE_ICON, always, "AXImage", "" },
    { ATSPI_ROLE_PROGRESS_BAR, always, "AXProgressIndicator", "" },
    { ATSPI_ROLE_TOOL_BAR, always, "AXToolbar", "" },
    { ATSPI_ROLE_SCROLL_PANE, always, "AXScrollArea", "" },
    { ATSPI_ROLE_SEPARATOR, always, "AXSplitter", "" },
    { ATSPI_ROLE_DOCUMENT_WEB, always, "AXWebArea", "" },
    { ATSPI_ROLE_DOCUMENT_FRAME, always, "AXWebArea", "" },
    { ATSPI_ROLE_HEADING, always, "AXHeading", "" },
    { ATSPI_ROLE_FILLER, always, "AXGroup", "" },
    { ATSPI_ROLE_PANEL, always, "AXGroup", "" },
    { ATSPI_ROLE_SECTION, always, "AXGroup", "" },
    { ATSPI_ROLE_GROUPING, always, "AXGroup", "" },
    { ATSPI_ROLE_INTERNAL_FRAME, always, "AXGroup", "" },
};

std::span<const Row> familyRows(AtspiToolkit toolkit)
{
    switch (toolkit) {
    case AtspiToolkit::gtk3:
        return gtk3Rows;
    case AtspiToolkit::gtk4:
        return gtk4Rows;
    case AtspiToolkit::qt:
        return qtRows;
    case AtspiToolkit::gecko:
    case AtspiToolkit::chromium:
        return browserRows;
    case AtspiToolkit::other:
        break;
    }
    return {};
}

const Row* firstMatch(std::span<const Row> rows, const Facts& facts)
{
    const auto found = std::find_if(rows.begin(), rows.end(),
        [&](const Row& row) { return row.role == facts.role && row.when(facts); });
    return found == rows.end() ? nullptr : &*found;
}

} // namespace

bool AtspiRoleFacts::hasAction(const std::string& action) const
{
    return std::find(actions.begin(), actions.end(), action) != actions.end();
}

AtspiRoleNeeds roleNeeds(AtspiToolkit toolkit, AtspiRole role)
{
    using Parent = AtspiRoleNeeds::Parent;
    AtspiRoleNeeds needs;
    switch (role) {
    case ATSPI_ROLE_PUSH_BUTTON:
        // Only the family's own rows look further than the role; GTK 3's and the browsers' above
        // it only at title-bar buttons.
        if (toolkit == AtspiToolkit::gtk3)
            needs = { .parent = Parent::ofWindowButtonNames, .ancestors = 1, .name = true };
        else if (toolkit == AtspiToolkit::qt)
            needs = { .actions = true };
        else if (toolkit == AtspiToolkit::gecko || toolkit == AtspiToolkit::chromium)
            needs = { .parent = Parent::ofWindowButtonNames, .ancestors = 2, .states = true, .name = true };
        else if (toolkit != AtspiToolkit::other)
            needs = { .states = true };
        break;
    case ATSPI_ROLE_TOGGLE_BUTTON:
        needs = { .states = true, .name = true, .actions = true, .children = true };
        break;
    case ATSPI_ROLE_CHECK_BOX:
        needs = { .name = true };
        break;
    case ATSPI_ROLE_TABLE_CELL:
        needs = { .parent = Parent::yes, .states = true };
        break;
    case ATSPI_ROLE_MENU:
    case ATSPI_ROLE_MENU_ITEM:
    case ATSPI_ROLE_FILLER:
        needs = { .parent = Parent::yes };
        break;
    case ATSPI_ROLE_WINDOW:
        needs = { .windowType = true };
        break;
    case ATSPI_ROLE_COMBO_BOX:
        needs = { .children = true };
        break;
    default:
        break;
    }
    return needs;
}

AXRoles axRoles(AtspiToolkit toolkit, const AtspiRoleFacts& facts)
{
    const Row* row = firstMatch(familyRows(toolkit), facts);
    if (!row)
        row = firstMatch(commonRows, facts);
    if (!row)
        return { "AXUnknown", "" };
    // A row without a subrole of its own takes the header bar's.
    std::string subrole = row->subrole ? row->subrole : headerBarButtonSubrole(facts.name);
    return { row->axRole, std::move(subrole) };
}

std::string headerBarButtonSubrole(const std::string& name)
{
    if (name == "Close")
        return "AXCloseButton";
    if (name == "Minimize")
        return "AXMinimizeButton";
    if (name == "Maximize" || name == "Restore")
        return "AXZoomButton";
    return {};
}

bool isCancelName(const std::string& name)
{
    std::string plain;
    std::copy_if(name.begin(), name.end(), std::back_inserter(plain), [](char c) { return c != '_' && c != '&'; });
    return plain == "Cancel";
}

bool isWindowRole(AtspiRole role, const std::string& windowType)
{
    switch (role) {
    case ATSPI_ROLE_FRAME:
    case ATSPI_ROLE_DIALOG:
    case ATSPI_ROLE_FILE_CHOOSER:
    case ATSPI_ROLE_ALERT:
    case ATSPI_ROLE_TOOL_TIP:
    case ATSPI_ROLE_FILLER:
        return true;
    case ATSPI_ROLE_WINDOW:
        return windowType != "popup-menu" && windowType != "combo";
    default:
        return false;
    }
}

} // namespace tintra
