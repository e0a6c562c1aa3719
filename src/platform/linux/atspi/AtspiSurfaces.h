#pragma once

#include "accessibility/AXValue.h"
#include "platform/linux/atspi/AtspiSession.h"

#include <optional>

namespace tintra {

// GTK 4 tells extents within the surface of each top level and answers hit tests in those
// coordinates (and warns on every question in screen coordinates); every other toolkit tells
// the screen's. These put GTK 4's on the screen through the window server.

// What to ask a toolkit's extents in.
AtspiCoordType extentsCoordinates(AtspiToolkit toolkit);

// Where the top level's surface lies on the screen: the window server's window of its process
// with its title, the nearest in size among several. The screen's origin for toolkits that tell
// screen coordinates; none when the window server shows no such window.
std::optional<AXPoint> surfaceOrigin(AtspiSession& session, AtspiAccessible* topLevel, const AtspiBudget& budget);

// The same for the top level that the accessible lies in.
std::optional<AXPoint> surfaceOriginOf(AtspiSession& session, AtspiAccessible* accessible, const AtspiBudget& budget);

} // namespace tintra
