#pragma once

#include "catalogue/SoundID.h"
#include "soundlog/SilencePeriod.h"
#include "soundlog/SoundLogEntry.h"
#include "soundlog/SoundLogSection.h"
#include "soundlog/SystemText.h"
#include "support/Clock.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

class TintraSoundLog;

// The sound log as plain text for a problem report. Times, dates and
// durations are formatted with ICU in the default locale and time zone.
struct TintraSoundLogReport {
    // Where a sound comes from: its set's name or a custom file's name;
    // nothing when it is silent or nothing resolves.
    std::function<std::optional<std::string>(TintraSoundID)> sourceName;
    // When the report is made: the header's date, the end of running silences.
    WallTime now;
    // The system the header names; replaceable so that tests are stable.
    std::function<std::string()> systemText = currentSystemText;

    // Every line, each ended by a line feed.
    std::string text(const TintraSoundLog& log) const;
    std::vector<std::string> header() const;
    std::string summary(const TintraSoundLog& log) const;
    std::string silenceLine(const TintraSilencePeriod& period) const;
    std::vector<std::string> sectionLines(const TintraSoundLogSection& section) const;
    std::vector<std::string> entryLines(const TintraSoundLogEntry& entry, int level) const;
};

// "Tintra Dorvel".
std::string reportApplicationName();
// The version this program was built as, or "version unknown".
std::string reportApplicationVersion();

} // namespace tintra
