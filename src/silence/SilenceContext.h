#pragma once

#include "silence/WindowDescription.h"
#include "support/Geometry.h"

#include <vector>

namespace tintra {

// What the two window-based probes need, captured once per evaluation.
struct TintraSilenceContext {
    std::vector<TintraWindowDescription> windows; // other processes' on-screen windows, front to back
    std::vector<Rect> displays;                   // every active display, in the windows' coordinates

    bool operator==(const TintraSilenceContext&) const = default;
};

} // namespace tintra
