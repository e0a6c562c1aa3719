#pragma once

#include "input/ControlKind.h"
#include "support/Geometry.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tintra {

// The control a press landed on.
struct TintraClickTarget {
    TintraControlKind kind = TintraControlKind::genericClick;
    // Top-left global coordinates; absent (the null rectangle) when the
    // element did not report both a position and a size.
    std::optional<Rect> frame;
    std::int32_t processIdentifier = 0;
    std::optional<std::string> applicationName;
    friend bool operator==(const TintraClickTarget&, const TintraClickTarget&) = default;
};

} // namespace tintra
