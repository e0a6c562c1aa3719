#pragma once

#include "catalogue/SoundID.h"
#include "input/ClickTarget.h"

#include <optional>
#include <string_view>

namespace tintra {

// The steps of a tracked click, each with its notification name.
enum class TintraClickStep { mouseDown, mouseEnter, mouseExit, mouseUp };

std::string_view notificationName(TintraClickStep step);

// A sound the tracker chose, and the step it sounds as.
struct TintraClickSound {
    TintraClickStep step;
    TintraSoundID soundID;
    friend bool operator==(const TintraClickSound&, const TintraClickSound&) = default;
};

// Follows one pressed control through the drag to the release, as the
// classic system tracked a button. A target without a frame (or with an
// empty one) counts as always under the pointer.
struct TintraClickTracker {
    std::optional<TintraClickTarget> target;
    bool isInside = true;

    bool isResting() const { return !target && isInside; }
    void reset() { *this = {}; }

    // Starts tracking; the press sound.
    TintraClickSound press(TintraClickTarget pressed, Point point);
    // The enter or exit sound when the pointer crossed the frame since the
    // last look, if the kind has one; nothing while resting.
    std::optional<TintraClickSound> drag(Point point);
    // The release sound when the button comes up inside, if the kind has
    // one; letting go outside is silent. Returns to rest either way.
    std::optional<TintraClickSound> release(Point point);
};

} // namespace tintra
