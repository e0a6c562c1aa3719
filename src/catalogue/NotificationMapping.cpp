#include "catalogue/NotificationMapping.h"

#include <algorithm>

namespace tintra {
namespace {

using R = TintraSoundResolution;

TintraNotificationMapping row(std::string name, TintraSoundResolution resolution, bool enabled)
{
    return { { std::move(name) }, std::move(resolution), enabled };
}

const std::vector<TintraNotificationMapping>& table()
{
    static const std::vector<TintraNotificationMapping> rows {
        row("AXFocusedWindowChanged", { R::fixed { "wact" } }, true),
        row("AXMainWindowChanged", { R::fixed { "wact" } }, false),
        row("AXFocusedUIElementChanged", { R::fixed { "beve" } }, false),
        row("AXApplicationActivated", { R::fixed { "uact" } }, false),
        row("AXApplicationHidden", { R::fixed { TintraSoundID::applicationHide } }, true),
        row("AXApplicationShown", { R::fixed { TintraSoundID::applicationShow } }, true),
        row("AXWindowCreated", { R::createdWindow {} }, true),
        row("AXWindowMiniaturized", { R::fixed { "wcol" } }, true),
        row("AXWindowDeminiaturized", { R::fixed { "wexp" } }, true),
        row("AXWindowMoved", { R::fixed { "wmov" } }, true),
        row("AXWindowResized", { R::fixed { "wgro" } }, true),
        row("AXDrawerCreated", { R::tracked { "uopn", "ucls" } }, true),
        row("AXSheetCreated", { R::tracked { "dopn", "dlgc" } }, true),
        row("AXHelpTagCreated", { R::tracked { "blno", "blnc" } }, true),
        row("AXUIElementDestroyed", { R::destroyedElement {} }, true),
        row("AXValueChanged", { R::fixed { "sltp" } }, false),
        row("AXMenuOpened", { R::fixed { "mnuo" } }, true),
        row("AXMenuClosed", { R::fixed { "mnuc" } }, true),
        row("AXMenuItemSelected", { R::fixed { "mnui" } }, true),
        row("AXRowExpanded", { R::fixed { "dscr" } }, true),
        row("AXRowCollapsed", { R::fixed { "dscr" } }, true),
        row("AXSelectedCellsChanged", { R::fixed { "fsel" } }, true),
        row("AXSelectedRowsChanged", { R::fixed { "fsel" } }, true),
        row("AXSelectedColumnsChanged", { R::fixed { "fsel" } }, true),
        row("AXSelectedChildrenChanged", { R::selectedChildrenChanged { "fsel", "mnui" } }, true),
        row("AXSelectedTextChanged", { R::fixed { "fsel" } }, false),
        row("AXCreated", { R::fixed { "fnew" } }, false),
        row("AXResized", { R::fixed { "wgro" } }, false),
        row("AXMoved", { R::fixed { "imov" } }, false),
    };
    return rows;
}

} // namespace

std::span<const TintraNotificationMapping> notificationMappings()
{
    return table();
}

std::span<const TintraNotificationMapping> defaultNotificationMappings()
{
    static const auto rows = [] {
        std::vector<TintraNotificationMapping> enabled;
        std::copy_if(table().begin(), table().end(), std::back_inserter(enabled),
            [](const auto& mapping) { return mapping.isEnabledByDefault; });
        return enabled;
    }();
    return rows;
}

std::span<const TintraAXNotificationName> menuNotifications()
{
    static const std::vector<TintraAXNotificationName> names {
        { "AXMenuOpened" }, { "AXMenuClosed" }, { "AXMenuItemSelected" }, { "AXSelectedChildrenChanged" }
    };
    return names;
}

std::span<const std::pair<TintraAXNotificationName, std::string>> selectionNotifications()
{
    static const std::vector<std::pair<TintraAXNotificationName, std::string>> names {
        { { "AXSelectedRowsChanged" }, "AXSelectedRows" },
        { { "AXSelectedCellsChanged" }, "AXSelectedCells" },
        { { "AXSelectedColumnsChanged" }, "AXSelectedColumns" },
    };
    return names;
}

std::span<const TintraAXNotificationName> windowDragNotifications()
{
    static const std::vector<TintraAXNotificationName> names { { "AXWindowMoved" }, { "AXWindowResized" } };
    return names;
}

const TintraNotificationMapping* notificationMapping(std::string_view notification)
{
    const auto rows = notificationMappings();
    const auto found = std::find_if(rows.begin(), rows.end(),
        [&](const auto& mapping) { return mapping.notification.rawValue == notification; });
    return found == rows.end() ? nullptr : &*found;
}

} // namespace tintra
