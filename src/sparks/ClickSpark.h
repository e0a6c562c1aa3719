#pragma once

#include "support/Geometry.h"

#include <array>

namespace tintra {

struct TintraClickSparkColor {
    double red = 0;
    double green = 0;
    double blue = 0;

    bool operator==(const TintraClickSparkColor&) const = default;
};

inline constexpr std::array<TintraClickSparkColor, 8> clickSparkPalette {{
    { 0.91, 0.522, 0.549 },
    { 0.918, 0.655, 0.471 },
    { 0.906, 0.788, 0.478 },
    { 0.663, 0.788, 0.545 },
    { 0.498, 0.78, 0.745 },
    { 0.525, 0.714, 0.871 },
    { 0.604, 0.627, 0.874 },
    { 0.753, 0.576, 0.808 },
}};

// One square of a burst, in points within its display (origin top-left, y
// down), radians and seconds.
struct TintraClickSpark {
    struct Vector {
        double dx = 0;
        double dy = 0;

        bool operator==(const Vector&) const = default;
    };

    Point position;
    Vector velocity; // points per second
    double edge = 0;
    double rotation = 0;
    double spin = 0; // radians per second
    TintraClickSparkColor color;
    double strokeWidth = 0; // 0: filled; otherwise the outline of a hollow square
    double age = 0;
    double lifetime = 0;

    bool operator==(const TintraClickSpark&) const = default;
};

} // namespace tintra
