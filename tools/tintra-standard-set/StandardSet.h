#pragma once

#include "catalogue/SetEntry.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <string>

namespace tintra::standardset {

inline constexpr const char* kStandardSetIdentifier = TINTRA_MAKER_PREFIX ".tintraset.standard";
inline constexpr const char* kStandardSetName = "Tintra Standard";

struct StandardSetError {
    enum class Case {
        notABundleName, // the folder's name does not end in ".tintraset"
        noDesign, // a listed event has no sound designed for it; `detail` names it
        unwritable, // the folder, a sound or the property list could not be written
    };
    Case kind;
    std::filesystem::path url;
    std::string detail;

    std::string description() const;
};

// "MenuOpen.aiff" is written as "MenuOpen.wav".
std::string standardFileName(const TintraSetEntry& entry);

// Replaces `bundle` with the built-in set: its property list and one WAV file
// per listed event. The same bytes on every run.
tl::expected<void, StandardSetError> writeStandardSet(const std::filesystem::path& bundle);

} // namespace tintra::standardset
