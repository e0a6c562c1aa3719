#pragma once

#include "soundsets/PlatformError.h"
#include "support/Bytes.h"

#include <filesystem>
#include <string>

namespace tintra {

// A sound file of the user's own: where it was last found, and the bookmark
// that finds it again after a move or a rename.
struct TintraCustomSound {
    std::filesystem::path url;
    Bytes bookmark;

    bool operator==(const TintraCustomSound&) const = default;
};

struct TintraCustomSoundError {
    enum class Case { unsupportedFormat, unreadable, couldNotBookmark };
    Case kind;
    std::filesystem::path url;
    PlatformError error; // unreadable, couldNotBookmark

    std::string description() const;
    bool operator==(const TintraCustomSoundError&) const = default;
};

} // namespace tintra
