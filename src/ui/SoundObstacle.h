#pragma once

#include "silence/SilenceReason.h"

#include <optional>
#include <string>

namespace tintra {

class TintraController;
class TintraSilenceMonitor;

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

// What the caller knows of the process: whether a sandbox keeps it from other
// applications, and whether it has been granted accessibility access.
struct TintraProcessAccess {
    bool isSandboxed = false;
    bool isAccessibilityTrusted = false;
};

// The status summary: the first test that holds wins. Reads the silence
// monitor's cached answer, so it may be asked on every redraw.
std::optional<TintraSoundObstacle> currentObstacle(TintraController& controller, TintraSilenceMonitor& silence,
    TintraProcessAccess access);

} // namespace tintra
