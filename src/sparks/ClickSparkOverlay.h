#pragma once

#include "support/Geometry.h"

namespace tintra {

// The transparent layer over every display on which clicks throw sparks.
// Main thread only; neither call fails (a display that cannot draw stays dark).
class TintraClickSparkOverlay {
public:
    virtual ~TintraClickSparkOverlay() = default;
    // `point` in top-left global coordinates, as the click monitor gives it.
    virtual void spark(Point at) = 0;
    // Empties every display's sparks and hides the layer.
    virtual void clearAll() = 0;
};

} // namespace tintra
