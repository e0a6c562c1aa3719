#pragma once

#include "accessibility/Accessibility.h"
#include "platform/linux/atspi/AtspiRoles.h"
#include "platform/linux/atspi/AtspiSession.h"
#include "platform/linux/atspi/AtspiSpinArrows.h"

#include <optional>
#include <string>
#include <vector>

namespace tintra {

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
};

} // namespace tintra
