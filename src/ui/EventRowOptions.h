#pragma once

#include "catalogue/SoundID.h"
#include "soundsets/Selection.h"

#include <optional>
#include <string>
#include <vector>

namespace tintra {

class TintraAssignments;
class TintraLibrary;

// One item of an event row's picker: a selection, or the item that opens the
// file chooser for a sound of the user's own.
struct TintraRowOption {
    std::optional<TintraSelection> selection; // none for the choose item
    std::string title;

    bool isChoose() const { return !selection; }
    bool operator==(const TintraRowOption&) const = default;
};

inline constexpr std::string_view chooseCustomSoundTitle = "Choose File…";

// The baseline, each installed set, the event's own file while it has one,
// silence, and the choose item.
std::vector<TintraRowOption> rowOptions(TintraSoundID soundID, const TintraAssignments& assignments,
    const TintraLibrary& library);

} // namespace tintra
