#include "platform/linux/atspi/AtspiHitTest.h"

#include "platform/linux/atspi/AtspiSurfaces.h"

#include <optional>
#include <vector>

namespace tintra {
namespace {

using Accessible = GObjectRef<AtspiAccessible>;

constexpr int maximumDepth = 32;
// How far above a toolkit's answer the control around it may lie (a button's label, a check
// box's icon in its box).
constexpr int maximumControlDistance = 3;

// How a top level answers: in which coordinates, which state marks what is shown (GTK 4
// marks only its windows as showing, the rest as visible), and where its surface lies.
struct Surface {
    AtspiToolkit toolkit = AtspiToolkit::other;
    AtspiCoordType coordinates = ATSPI_COORD_TYPE_SCREEN;
    AtspiStateType shown = ATSPI_STATE_SHOWING;
    AXPoint origin;
};

Surface surfaceOf(AtspiToolkit toolkit, AXPoint origin)
{
    return { toolkit, extentsCoordinates(toolkit), toolkit == AtspiToolkit::gtk4 ? ATSPI_STATE_VISIBLE : ATSPI_STATE_SHOWING, origin };
}

std::optional<AXRect> extentsOf(AtspiAccessible* accessible, AtspiCoordType coordinates)
{
    auto component = GObjectRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(accessible));
    if (!component)
        return std::nullopt;
    GOwned<AtspiRect> rect(atspi_component_get_extents(component.get(), coordinates, nullptr));
    if (!rect)
        return std::nullopt;
    return AXRect { { double(rect->x), double(rect->y) }, { double(rect->width), double(rect->height) } };
}

bool holds(AtspiAccessible* accessible, AXPoint point, AtspiCoordType coordinates)
{
    const auto extents = extentsOf(accessible, coordinates);
    return extents && extents->contains(point);
}

std::uint64_t states(AtspiAccessible* accessible)
{
    auto set = GObjectRef<AtspiStateSet>::adopt(atspi_accessible_get_state_set(accessible));
    std::uint64_t bits = 0;
    for (auto state : { ATSPI_STATE_SHOWING, ATSPI_STATE_VISIBLE, ATSPI_STATE_ACTIVE, ATSPI_STATE_SELECTED, ATSPI_STATE_ICONIFIED,
             ATSPI_STATE_EXPANDED }) {
        if (set && atspi_state_set_contains(set.get(), state))
            bits |= std::uint64_t { 1 } << state;
    }
    return bits;
}

bool has(std::uint64_t bits, AtspiStateType state) { return bits & (std::uint64_t { 1 } << state); }

// The child that holds the point, searched here; the last one wins, as later
// children are drawn over earlier ones.
Accessible childAt(AtspiAccessible* parent, AXPoint point, const Surface& surface, const AtspiBudget& budget)
{
    Accessible found;
    for (auto& child : childrenOf(parent, budget)) {
        if (!budget.arm())
            break;
        const auto bits = states(child.get());
        if (!has(bits, surface.shown))
            continue;
        if (holds(child.get(), point, surface.coordinates)) {
            found = child;
            continue;
        }
        if (atspi_accessible_get_role(child.get(), nullptr) == ATSPI_ROLE_PAGE_TAB && has(bits, ATSPI_STATE_SELECTED)) {
            auto page = Accessible::adopt(atspi_accessible_get_child_at_index(child.get(), 0, nullptr));
            if (page && holds(page.get(), point, surface.coordinates))
                found = std::move(page);
        }
    }
    return found;
}

// Down through the toolkit's answers, searching the children here where it answers nothing (or,
// when each answer is checked, something that does not hold the point). The point is in the
// surface's coordinates.
Accessible descend(Accessible current, AXPoint point, const Surface& surface, const AtspiBudget& budget, bool checkEachAnswer)
{
    for (int depth = 0; depth < maximumDepth && budget.arm(); ++depth) {
        Accessible next;
        if (auto component = GObjectRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(current.get()))) {
            next = Accessible::adopt(atspi_component_get_accessible_at_point(
                component.get(), static_cast<gint>(point.x), static_cast<gint>(point.y), surface.coordinates, nullptr));
        }
        const bool answered = next && AtspiSession::identity(next.get()) != AtspiSession::identity(current.get())
            && (!checkEachAnswer || (budget.arm() && holds(next.get(), point, surface.coordinates)));
        // GTK 4 answers the deepest element at once.
        if (answered && surface.toolkit == AtspiToolkit::gtk4)
            return next;
        if (!answered)
            next = childAt(current.get(), point, surface, budget);
        if (!next)
            break;
        current = std::move(next);
    }
    return current;
}

struct Found {
    Accessible element;
    std::optional<AXRect> extents; // when they were asked
};

// Asking each answer's extents costs as much again as the answers themselves, and toolkits
// answer right but for GTK 3's notebook (a tab answers its page): the end is checked, and only
// when it lies elsewhere is the way down checked step by step.
Found deepest(const Accessible& window, AXPoint point, const Surface& surface, const AtspiBudget& budget)
{
    auto found = descend(window, point, surface, budget, false);
    if (found.get() == window.get())
        return { found, std::nullopt };
    if (budget.arm()) {
        if (auto extents = extentsOf(found.get(), surface.coordinates); extents && extents->contains(point))
            return { found, extents };
    }
    return { descend(window, point, surface, budget, true), std::nullopt };
}

bool isControl(AtspiRole role)
{
    switch (role) {
    case ATSPI_ROLE_PUSH_BUTTON:
    case ATSPI_ROLE_TOGGLE_BUTTON:
    case ATSPI_ROLE_CHECK_BOX:
    case ATSPI_ROLE_RADIO_BUTTON:
    case ATSPI_ROLE_PAGE_TAB:
    case ATSPI_ROLE_COMBO_BOX:
    case ATSPI_ROLE_MENU_ITEM:
    case ATSPI_ROLE_LINK:
        return true;
    default:
        return false;
    }
}

// GTK 4 answers the deepest widget, the label or icon inside a control, and Chromium at times the
// text inside a button or link: the control around it, whose role `role` then holds.
Accessible controlAround(Accessible found, AtspiRole& role, AtspiAccessible* window, const AtspiBudget& budget)
{
    if (role != ATSPI_ROLE_LABEL && role != ATSPI_ROLE_STATIC && role != ATSPI_ROLE_FILLER && role != ATSPI_ROLE_PANEL
        && role != ATSPI_ROLE_ICON)
        return found;
    auto current = found;
    for (int distance = 0; distance < maximumControlDistance && budget.arm(); ++distance) {
        auto parent = Accessible::adopt(atspi_accessible_get_parent(current.get(), nullptr));
        if (!parent || AtspiSession::identity(parent.get()) == AtspiSession::identity(window) || !budget.arm())
            break;
        if (const auto parentRole = atspi_accessible_get_role(parent.get(), nullptr); isControl(parentRole)) {
            role = parentRole;
            return parent;
        }
        current = std::move(parent);
    }
    return found;
}

// The browsers lay a closed drop-down's list over it (Firefox answers the list, Chromium an item
// of it): the drop-down is what a click presses, whose role `role` then holds.
Accessible dropDownAround(Accessible found, AtspiRole& role, const AtspiBudget& budget)
{
    if (role != ATSPI_ROLE_MENU && role != ATSPI_ROLE_MENU_ITEM)
        return found;
    auto current = found;
    for (int distance = 0; distance < 2 && budget.arm(); ++distance) {
        auto parent = Accessible::adopt(atspi_accessible_get_parent(current.get(), nullptr));
        if (!parent || !budget.arm())
            break;
        const auto parentRole = atspi_accessible_get_role(parent.get(), nullptr);
        if (parentRole == ATSPI_ROLE_COMBO_BOX) {
            if (!budget.arm() || has(states(parent.get()), ATSPI_STATE_EXPANDED))
                break;
            role = parentRole;
            return parent;
        }
        if (parentRole != ATSPI_ROLE_MENU)
            break;
        current = std::move(parent);
    }
    return found;
}

// Chromium lays the browser's view over its own title bar: a button beneath the panel answered
// (before it among its siblings) that holds the point is what the click presses, whose role
// `role` then holds.
Accessible buttonBeneath(Accessible found, AtspiRole& role, AXPoint point, const Surface& surface, const AtspiBudget& budget)
{
    if (role != ATSPI_ROLE_PANEL || !budget.arm())
        return found;
    auto parent = Accessible::adopt(atspi_accessible_get_parent(found.get(), nullptr));
    if (!parent)
        return found;
    const auto panel = AtspiSession::identity(found.get());
    for (auto& sibling : childrenOf(parent.get(), budget)) {
        if (AtspiSession::identity(sibling.get()) == panel || !budget.arm())
            break;
        if (atspi_accessible_get_role(sibling.get(), nullptr) == ATSPI_ROLE_PUSH_BUTTON && budget.arm()
            && holds(sibling.get(), point, surface.coordinates)) {
            role = ATSPI_ROLE_PUSH_BUTTON;
            return std::move(sibling);
        }
    }
    return found;
}

struct WindowHit {
    Accessible window;
    Surface surface;
    bool active = false;
};

std::optional<WindowHit> windowAt(
    AtspiSession& session, AtspiAccessible* application, bool shownThere, AXPoint point, const AtspiBudget& budget)
{
    const auto toolkit = session.toolkit(application, budget);
    auto windows = childrenOf(application, budget);
    // The window server shows the application's only window there, in screen coordinates.
    if (shownThere && windows.size() == 1 && extentsCoordinates(toolkit) == ATSPI_COORD_TYPE_SCREEN)
        return WindowHit { std::move(windows.front()), surfaceOf(toolkit, {}), false };
    std::optional<WindowHit> found;
    for (auto& window : windows) {
        if (!budget.arm())
            break;
        const auto bits = states(window.get());
        if (!has(bits, ATSPI_STATE_SHOWING) || has(bits, ATSPI_STATE_ICONIFIED) || !budget.arm())
            continue;
        const auto origin = surfaceOrigin(session, window.get(), budget);
        const auto surface = surfaceOf(toolkit, origin.value_or(AXPoint {}));
        if (!origin || !budget.arm() || !holds(window.get(), { point.x - origin->x, point.y - origin->y }, surface.coordinates))
            continue;
        const WindowHit hit { window, surface, has(bits, ATSPI_STATE_ACTIVE) };
        if (hit.active)
            return hit;
        if (!found)
            found = hit;
    }
    return found;
}

} // namespace

tl::expected<AtspiHit, AXError> hitTest(
    AtspiSession& session, AtspiAccessible* throughApplication, bool shownThere, AXPoint point, const AtspiBudget& budget)
{
    std::vector<Accessible> applications;
    if (throughApplication) {
        applications.push_back(Accessible::borrow(throughApplication));
    } else {
        auto desktop = Accessible::adopt(atspi_get_desktop(0));
        applications = childrenOf(desktop.get(), budget);
    }
    // An active window beats one that merely holds the point.
    std::optional<WindowHit> hit;
    for (auto& application : applications) {
        if (AtspiSession::isGone(application.get()) || !budget.arm())
            continue;
        auto candidate = windowAt(session, application.get(), shownThere, point, budget);
        if (!candidate)
            continue;
        if (candidate->active) {
            hit = std::move(candidate);
            break;
        }
        if (!hit)
            hit = std::move(candidate);
    }
    if (!hit)
        return tl::unexpected(budget.failure(AXError::noValue));
    const auto& window = hit->window;
    const auto& surface = hit->surface;
    const AXPoint inSurface { point.x - surface.origin.x, point.y - surface.origin.y };
    auto [found, extents] = deepest(window, inSurface, surface, budget);
    AtspiRole role = budget.arm() ? atspi_accessible_get_role(found.get(), nullptr) : ATSPI_ROLE_INVALID;
    auto control = found;
    if (surface.toolkit == AtspiToolkit::gtk4 || surface.toolkit == AtspiToolkit::chromium)
        control = controlAround(std::move(control), role, window.get(), budget);
    if (surface.toolkit == AtspiToolkit::gecko || surface.toolkit == AtspiToolkit::chromium)
        control = dropDownAround(std::move(control), role, budget);
    if (surface.toolkit == AtspiToolkit::chromium)
        control = buttonBeneath(std::move(control), role, inSurface, surface, budget);
    if (budget.isSpent())
        return tl::unexpected(AXError::cannotComplete);
    std::optional<AXRect> frame;
    if (extents && control.get() == found.get())
        frame = AXRect { { surface.origin.x + extents->origin.x, surface.origin.y + extents->origin.y }, extents->size };
    return AtspiHit { std::move(control), window, role, frame };
}

} // namespace tintra
