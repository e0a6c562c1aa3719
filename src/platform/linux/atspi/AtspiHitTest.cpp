#include "platform/linux/atspi/AtspiHitTest.h"

#include <optional>
#include <vector>

namespace tintra {
namespace {

using Accessible = GObjectRef<AtspiAccessible>;

constexpr int maximumDepth = 32;

std::optional<AXRect> extentsOf(AtspiAccessible* accessible)
{
    auto component = GObjectRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(accessible));
    if (!component)
        return std::nullopt;
    GOwned<AtspiRect> rect(atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, nullptr));
    if (!rect)
        return std::nullopt;
    return AXRect { { double(rect->x), double(rect->y) }, { double(rect->width), double(rect->height) } };
}

bool holds(AtspiAccessible* accessible, AXPoint point)
{
    const auto extents = extentsOf(accessible);
    return extents && extents->contains(point);
}

std::uint64_t states(AtspiAccessible* accessible)
{
    auto set = GObjectRef<AtspiStateSet>::adopt(atspi_accessible_get_state_set(accessible));
    std::uint64_t bits = 0;
    for (auto state : { ATSPI_STATE_SHOWING, ATSPI_STATE_ACTIVE, ATSPI_STATE_SELECTED, ATSPI_STATE_ICONIFIED }) {
        if (set && atspi_state_set_contains(set.get(), state))
            bits |= std::uint64_t { 1 } << state;
    }
    return bits;
}

bool has(std::uint64_t bits, AtspiStateType state) { return bits & (std::uint64_t { 1 } << state); }

std::vector<Accessible> children(AtspiAccessible* accessible, const AtspiBudget& budget)
{
    std::vector<Accessible> list;
    if (!budget.arm())
        return list;
    const int count = atspi_accessible_get_child_count(accessible, nullptr);
    for (int i = 0; i < count && budget.arm(); ++i) {
        if (auto child = Accessible::adopt(atspi_accessible_get_child_at_index(accessible, i, nullptr)))
            list.push_back(std::move(child));
    }
    return list;
}

// The child that holds the point, searched here; the last one wins, as later
// children are drawn over earlier ones.
Accessible childAt(AtspiAccessible* parent, AXPoint point, const AtspiBudget& budget)
{
    Accessible found;
    for (auto& child : children(parent, budget)) {
        if (!budget.arm())
            break;
        const auto bits = states(child.get());
        if (!has(bits, ATSPI_STATE_SHOWING))
            continue;
        if (holds(child.get(), point)) {
            found = child;
            continue;
        }
        if (atspi_accessible_get_role(child.get(), nullptr) == ATSPI_ROLE_PAGE_TAB && has(bits, ATSPI_STATE_SELECTED)) {
            auto page = Accessible::adopt(atspi_accessible_get_child_at_index(child.get(), 0, nullptr));
            if (page && holds(page.get(), point))
                found = std::move(page);
        }
    }
    return found;
}

Accessible deepest(Accessible current, AXPoint point, const AtspiBudget& budget)
{
    for (int depth = 0; depth < maximumDepth && budget.arm(); ++depth) {
        Accessible next;
        if (auto component = GObjectRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(current.get()))) {
            next = Accessible::adopt(atspi_component_get_accessible_at_point(
                component.get(), static_cast<gint>(point.x), static_cast<gint>(point.y), ATSPI_COORD_TYPE_SCREEN, nullptr));
        }
        const bool answered = next && AtspiSession::identity(next.get()) != AtspiSession::identity(current.get())
            && budget.arm() && holds(next.get(), point);
        if (!answered)
            next = childAt(current.get(), point, budget);
        if (!next)
            break;
        current = std::move(next);
    }
    return current;
}

Accessible windowAt(AtspiAccessible* application, AXPoint point, const AtspiBudget& budget)
{
    Accessible found;
    for (auto& window : children(application, budget)) {
        if (!budget.arm())
            break;
        const auto bits = states(window.get());
        if (!has(bits, ATSPI_STATE_SHOWING) || has(bits, ATSPI_STATE_ICONIFIED) || !budget.arm() || !holds(window.get(), point))
            continue;
        if (has(bits, ATSPI_STATE_ACTIVE))
            return window;
        if (!found)
            found = window;
    }
    return found;
}

} // namespace

tl::expected<AtspiHit, AXError> hitTest(AtspiAccessible* throughApplication, AXPoint point, const AtspiBudget& budget)
{
    std::vector<Accessible> applications;
    if (throughApplication) {
        applications.push_back(Accessible::borrow(throughApplication));
    } else {
        auto desktop = Accessible::adopt(atspi_get_desktop(0));
        applications = children(desktop.get(), budget);
    }
    // An active window beats one that merely holds the point.
    Accessible window;
    for (auto& application : applications) {
        if (AtspiSession::isGone(application.get()) || !budget.arm())
            continue;
        auto candidate = windowAt(application.get(), point, budget);
        if (!candidate)
            continue;
        if (has(states(candidate.get()), ATSPI_STATE_ACTIVE)) {
            window = std::move(candidate);
            break;
        }
        if (!window)
            window = std::move(candidate);
    }
    if (!window)
        return tl::unexpected(budget.failure(AXError::noValue));
    auto found = deepest(window, point, budget);
    if (budget.isSpent())
        return tl::unexpected(AXError::cannotComplete);
    return AtspiHit { std::move(found), std::move(window) };
}

} // namespace tintra
