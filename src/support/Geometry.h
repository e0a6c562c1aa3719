#pragma once

#include <algorithm>
#include <cmath>

namespace tintra {

// Points and rectangles in global display coordinates: origin at the top-left
// of the main display, y growing downward, in points.
struct Point {
    double x = 0;
    double y = 0;

    bool operator==(const Point&) const = default;
};

// A rectangle as origin and size. A negative size is allowed and means the
// rectangle extends the other way from its origin; the tests below treat it
// as the same area with a positive size.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool operator==(const Rect&) const = default;

    double minX() const { return std::min(x, x + width); }
    double maxX() const { return std::max(x, x + width); }
    double minY() const { return std::min(y, y + height); }
    double maxY() const { return std::max(y, y + height); }

    // No area: a zero (or not-a-number) width or height.
    bool isEmpty() const { return width == 0 || height == 0 || std::isnan(width) || std::isnan(height); }

    // Grown by dx on the left and right and dy at the top and bottom (shrunk when negative).
    Rect insetBy(double dx, double dy) const
    {
        return Rect { minX() + dx, minY() + dy, maxX() - minX() - 2 * dx, maxY() - minY() - 2 * dy };
    }

    // Points on the left and top edges are inside, on the right and bottom edges outside.
    bool contains(Point point) const
    {
        return !isEmpty() && point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
    }

    // The other rectangle lies entirely within this one, edges included.
    bool contains(const Rect& other) const
    {
        return !isEmpty() && !other.isEmpty() && other.minX() >= minX() && other.maxX() <= maxX()
            && other.minY() >= minY() && other.maxY() <= maxY();
    }
};

} // namespace tintra
