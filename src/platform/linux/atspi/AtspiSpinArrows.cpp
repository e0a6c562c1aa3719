#include "platform/linux/atspi/AtspiSpinArrows.h"

#include <cmath>

namespace tintra {
namespace {

// Measured by clicking across them under Xvfb: GTK 3's Adwaita puts "−" and then "+" at the right
// end, Qt 6's Fusion the up arrow over the down one at the right end; each arrow about three
// quarters of the spin button's height wide.
double arrowWidth(const AXRect& spin) { return std::round(spin.size.height * 0.75); }

} // namespace

AXRect spinArrowFrame(AtspiToolkit toolkit, const AXRect& spin, AtspiSpinArrow arrow)
{
    const double width = arrowWidth(spin);
    const double right = spin.origin.x + spin.size.width;
    const bool up = arrow == AtspiSpinArrow::increment;
    if (toolkit == AtspiToolkit::qt) {
        const double half = spin.size.height / 2;
        return { { right - width, spin.origin.y + (up ? 0 : half) }, { width, half } };
    }
    return { { right - width * (up ? 1 : 2), spin.origin.y }, { width, spin.size.height } };
}

AtspiSpinArrow spinArrowAt(AtspiToolkit toolkit, const AXRect& spin, AXPoint point)
{
    if (toolkit != AtspiToolkit::gtk3 && toolkit != AtspiToolkit::qt)
        return AtspiSpinArrow::none;
    for (const auto arrow : { AtspiSpinArrow::increment, AtspiSpinArrow::decrement }) {
        if (spinArrowFrame(toolkit, spin, arrow).contains(point))
            return arrow;
    }
    return AtspiSpinArrow::none;
}

std::string spinArrowSuffix(AtspiSpinArrow arrow)
{
    switch (arrow) {
    case AtspiSpinArrow::increment:
        return "#increment";
    case AtspiSpinArrow::decrement:
        return "#decrement";
    case AtspiSpinArrow::none:
        break;
    }
    return "";
}

AtspiSpinArrow spinArrowOf(const std::string& identity)
{
    for (const auto arrow : { AtspiSpinArrow::increment, AtspiSpinArrow::decrement }) {
        if (identity.ends_with(spinArrowSuffix(arrow)))
            return arrow;
    }
    return AtspiSpinArrow::none;
}

} // namespace tintra
