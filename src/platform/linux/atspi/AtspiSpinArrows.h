#pragma once

#include "accessibility/AXValue.h"
#include "platform/linux/atspi/AtspiToolkit.h"

#include <string>

namespace tintra {

// A spin button's arrows, which GTK 3 and Qt draw but do not expose: told apart by where the
// point lies. An arrow's element stands on its spin button's object, its identity that of the spin
// button with the arrow's name after it.
enum class AtspiSpinArrow { none, increment, decrement };

// The arrow under the point in a spin button with these extents; none over its text, and for a
// toolkit whose arrows are not known.
AtspiSpinArrow spinArrowAt(AtspiToolkit toolkit, const AXRect& spin, AXPoint point);
// Where that arrow lies in the spin button.
AXRect spinArrowFrame(AtspiToolkit toolkit, const AXRect& spin, AtspiSpinArrow arrow);

// What follows a spin button's identity in its arrow's; "" for none.
std::string spinArrowSuffix(AtspiSpinArrow arrow);
AtspiSpinArrow spinArrowOf(const std::string& identity);

} // namespace tintra
