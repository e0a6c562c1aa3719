#pragma once

#include "soundlog/SoundLogEntry.h"
#include "soundlog/SoundLogGroup.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// The sound log's rows of one application, or of the system. Applications
// have no icon here: the user interface finds it from the bundle identifier.
struct TintraSoundLogSection {
    TintraSoundLogGroup group; // also the section's identity
    std::string name;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::filesystem::path> fileURL;
    std::optional<std::string> version;
    std::vector<TintraSoundLogEntry> entries; // most recently heard first

    // When the section was last heard; the distant past when it is empty.
    WallTime latestDate() const { return entries.empty() ? WallTime::min() : entries.front().lastDate; }

    friend bool operator==(const TintraSoundLogSection&, const TintraSoundLogSection&) = default;
};

} // namespace tintra
