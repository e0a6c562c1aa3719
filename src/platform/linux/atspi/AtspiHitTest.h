#pragma once

#include "accessibility/AXValue.h"
#include "platform/linux/atspi/AtspiSession.h"

#include <tl/expected.hpp>

#include <optional>

namespace tintra {

// The deepest element under a screen point, within the budget. Through an
// application it asks that application only, otherwise every application on
// the desktop: its showing window that holds the point (the active one
// first; its only window when the window server shows one of its windows
// there, `shownThere`), then one level at a time down, since GTK answers only the child of
// the asked element. Where a toolkit answers nothing the children are searched
// here; where the end does not hold the point, the way down is taken again with
// each answer checked, and a selected notebook tab stands for its page, which
// lies outside the tab's own extents. Where the toolkit answers a control's
// label, text or icon, or the list of a closed drop-down, the control around it
// is the hit.
struct AtspiHit {
    GObjectRef<AtspiAccessible> element;
    GObjectRef<AtspiAccessible> window; // the top level it lies in
    AtspiRole role;
    std::optional<AXRect> frame; // on the screen, when it was asked on the way
};
tl::expected<AtspiHit, AXError> hitTest(
    AtspiSession& session, AtspiAccessible* throughApplication, bool shownThere, AXPoint point, const AtspiBudget& budget);

} // namespace tintra
