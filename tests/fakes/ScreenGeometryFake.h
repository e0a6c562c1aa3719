#pragma once

#include "playback/ScreenGeometry.h"

#include <vector>

namespace tintra {

// Screens and a pointer that the test places.
class ScreenGeometryFake final : public ScreenGeometry {
public:
    std::vector<Rect> frames;
    Point pointer;

    std::vector<Rect> screenFrames() const override { return frames; }
    Point pointerLocation() const override { return pointer; }
};

} // namespace tintra
