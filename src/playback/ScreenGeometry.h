#pragma once

#include "support/Geometry.h"

#include <vector>

namespace tintra {

// The screens and the pointer, for placing a sound where the pointer is.
// Main thread only; both answers are in the same global desktop coordinates.
// Neither can fail: no screens is an empty list.
class ScreenGeometry {
public:
    virtual ~ScreenGeometry() = default;

    virtual std::vector<Rect> screenFrames() const = 0;
    virtual Point pointerLocation() const = 0;
};

} // namespace tintra
