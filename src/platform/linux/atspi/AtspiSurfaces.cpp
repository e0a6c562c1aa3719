#include "platform/linux/atspi/AtspiSurfaces.h"

#include <cmath>

namespace tintra {

AtspiCoordType extentsCoordinates(AtspiToolkit toolkit)
{
    return toolkit == AtspiToolkit::gtk4 ? ATSPI_COORD_TYPE_WINDOW : ATSPI_COORD_TYPE_SCREEN;
}

std::optional<AXPoint> surfaceOrigin(AtspiSession& session, AtspiAccessible* topLevel, const AtspiBudget& budget)
{
    if (session.toolkit(topLevel, budget) != AtspiToolkit::gtk4)
        return AXPoint {};
    auto* windows = session.windowFacts();
    if (!windows || !budget.arm())
        return std::nullopt;
    const auto pid = session.processIdentifier(topLevel);
    GOwned<char> title(atspi_accessible_get_name(topLevel, nullptr));
    auto component = GObjectRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(topLevel));
    GOwned<AtspiRect> extents(component && budget.arm()
            ? atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_WINDOW, nullptr)
            : nullptr);
    if (!title || !extents)
        return std::nullopt;
    std::optional<AXPoint> origin;
    double nearest = 0;
    for (const auto& window : windows->windows()) {
        if (window.pid != pid || window.title != title.get() || window.hidden)
            continue;
        const double away = std::abs(window.frame.width - extents->width) + std::abs(window.frame.height - extents->height);
        if (!origin || away < nearest) {
            origin = AXPoint { window.frame.x, window.frame.y };
            nearest = away;
        }
    }
    return origin;
}

std::optional<AXPoint> surfaceOriginOf(AtspiSession& session, AtspiAccessible* accessible, const AtspiBudget& budget)
{
    if (session.toolkit(accessible, budget) != AtspiToolkit::gtk4)
        return AXPoint {};
    const auto topLevel = session.topLevel(accessible, budget);
    if (!topLevel)
        return std::nullopt;
    return surfaceOrigin(session, topLevel.get(), budget);
}

} // namespace tintra
