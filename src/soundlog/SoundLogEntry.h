#pragma once

#include "catalogue/ApplicationDescription.h"
#include "catalogue/DiskDescription.h"
#include "catalogue/SoundID.h"
#include "support/Clock.h"

#include <optional>
#include <string>
#include <vector>

namespace tintra {

// One row of the sound log: an event and how often it was heard.
struct TintraSoundLogEntry {
    std::string eventName;
    TintraSoundID soundID;
    std::optional<std::string> detail;
    std::optional<std::string> elementDescription; // at most 200 characters
    std::optional<WallTime> elementNamedDate; // when elementDescription was last set
    std::vector<std::string> elementDetails; // at most 80 lines
    std::optional<TintraDiskDescription> disk;
    std::optional<TintraApplicationDescription> application;
    WallTime firstDate;
    WallTime lastDate;
    int count = 1;

    // Events with equal identities in one section are one row.
    std::string identity() const;

    friend bool operator==(const TintraSoundLogEntry&, const TintraSoundLogEntry&) = default;
};

} // namespace tintra
