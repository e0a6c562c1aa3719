#pragma once

#include "support/Geometry.h"
#include "support/PropertyList.h"

#include <cstdint>
#include <optional>

namespace tintra {

// One on-screen window of the window server's list.
struct TintraWindowDescription {
    std::int32_t processIdentifier = 0;
    std::int64_t layer = 0; // 0 for ordinary windows
    Rect bounds;            // global display coordinates
    double alpha = 1.0;     // 0.0 to 1.0

    bool operator==(const TintraWindowDescription&) const = default;

    // From one window-list entry: the owner process, the layer (integers, the
    // process fitting in 32 signed bits) and the bounds are required; a missing
    // or non-numeric alpha is 1.0.
    static std::optional<TintraWindowDescription> fromWindowListEntry(const PropertyList::Dictionary& entry);
};

} // namespace tintra
