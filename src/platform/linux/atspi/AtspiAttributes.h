#pragma once

#include "accessibility/Accessibility.h"
#include "platform/linux/atspi/AtspiRoles.h"
#include "platform/linux/atspi/AtspiSession.h"
#include "platform/linux/atspi/AtspiSpinArrows.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tintra {

// An accessible's descendants breadth first, not below lists, trees, tables and menus, asked
// only as far as a search reaches, for the next search to go on from.
class AtspiDescendants {
public:
    AtspiDescendants(AtspiAccessible* root, const AtspiBudget& budget);
    // The descendant at this place and its role; none past the last searched, or once the
    // budget is spent.
    std::optional<std::pair<AtspiAccessible*, AtspiRole>> at(std::size_t index);

private:
    static AtspiRole roleOf(AtspiAccessible* accessible, AtspiRole& known);

    AtspiAccessible* root_;
    const AtspiBudget& budget_;
    bool started_ = false;
    std::vector<std::pair<GObjectRef<AtspiAccessible>, AtspiRole>> visited_; // role invalid until asked
    std::size_t expanded_ = 0;
};

// Reads the AX attributes of one accessible, or of an arrow of a spin button, within one budget.
// The facts several attributes share (role, parent, states) are asked once per reader.
class AtspiAttributeReader {
public:
    AtspiAttributeReader(AtspiSession& session, AtspiAccessible* accessible, const AtspiBudget& budget,
        AtspiSpinArrow arrow = AtspiSpinArrow::none);

    AXAttributeResult read(const std::string& attribute);
    // The attributes this element answers, window buttons on windows only.
    tl::expected<std::vector<std::string>, AXError> names();
    tl::expected<std::vector<std::string>, AXError> actionNames();

    tl::expected<AXRoles, AXError> roles();
    // Position and size, asked once.
    tl::expected<AXRect, AXError> frame();

private:
    tl::expected<AtspiRole, AXError> role();
    const AtspiRoleFacts& facts();
    bool isWindow();

    AXAttributeResult text(GOwned<char> value);
    AXAttributeResult element(AtspiAccessible* accessible);
    AXAttributeResult children(bool visibleOnly, bool windowsOnly);
    AXAttributeResult window();
    AXAttributeResult focusedWindow();
    tl::expected<AXRect, AXError> askFrame();
    AXAttributeResult extents(bool position);
    // A spin button's arrow: a button of its own in the spin button, where it is drawn.
    AXAttributeResult readArrow(const std::string& attribute);
    AXAttributeResult selected();
    AXAttributeResult value();
    // A window's button, found among its descendants.
    AXAttributeResult windowButton(const std::string& attribute);

    AtspiSession& session_;
    AtspiAccessible* accessible_;
    const AtspiBudget& budget_;
    AtspiSpinArrow arrow_;
    std::optional<tl::expected<AtspiRole, AXError>> role_;
    std::optional<AtspiRoleFacts> facts_;
    std::optional<tl::expected<AXRect, AXError>> frame_;
    std::optional<AtspiDescendants> descendants_; // what the searches for a window's buttons asked
};

} // namespace tintra
