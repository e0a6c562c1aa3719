#pragma once

#include "silence/SilenceReason.h"

#include <string>

namespace tintra {

// The first thing that keeps every sound from being heard. Cases are declared
// in the order in which they are tested; having none is not a case.
struct TintraSoundObstacle {
    enum class Case { sandboxed, switchedOff, accessibilityNotGranted, nothingToPlay, volumeAllTheWayDown, silenced };
    Case kind;
    TintraSilenceReason reason {}; // silenced only

    static TintraSoundObstacle silencedBy(TintraSilenceReason reason) { return { Case::silenced, reason }; }

    // "Sounds are switched off"; a silence reason's own label.
    std::string label() const;
    // The menu line's help text; a silence reason's own explanation.
    std::string explanation() const;

    bool operator==(const TintraSoundObstacle& other) const
    {
        return kind == other.kind && (kind != Case::silenced || reason == other.reason);
    }
};

} // namespace tintra
