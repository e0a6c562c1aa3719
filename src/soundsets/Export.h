#pragma once

#include "catalogue/SoundID.h"
#include "soundsets/Assignments.h"
#include "soundsets/Library.h"
#include "soundsets/PlatformError.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tintra {

// One sound to export and the file that plays for it now.
struct TintraExportSource {
    TintraSoundID soundID;
    std::filesystem::path url;
    bool isCustom = false;

    bool operator==(const TintraExportSource&) const = default;
};

struct TintraExportSummary {
    std::string name;
    int eventCount = 0;
    int soundCount = 0;
    int customEventCount = 0;
    int mappedEventCount = 0;
    int skippedEventCount = 0;

    bool operator==(const TintraExportSummary&) const = default;
};

struct TintraExportError {
    enum class Case { couldNotBuild, couldNotPlace, nothingToExport };
    Case kind;
    std::filesystem::path url; // couldNotBuild, couldNotPlace
    PlatformError error;       // couldNotBuild, couldNotPlace

    std::string description() const;
    bool operator==(const TintraExportError&) const = default;
};

// Every catalogue sound that resolves to a file now, in catalogue order.
std::vector<TintraExportSource> exportSources(const TintraAssignments& assignments, const TintraLibrary& library);

// The baseline set's name + " Custom", or "My Sounds" without a baseline set.
std::string defaultExportName(const TintraAssignments& assignments, const TintraLibrary& library);

// Builds the bundle in a temporary folder inside the platform's temporary
// folder (or `temporaryRoot`), then moves it to the destination, replacing
// an existing item there as a whole. Touches only the temporary folder, the
// sources and the destination; any thread.
tl::expected<TintraExportSummary, TintraExportError> exportSoundSet(
    const std::vector<TintraExportSource>& sources, const std::filesystem::path& destination);
tl::expected<TintraExportSummary, TintraExportError> exportSoundSet(const std::vector<TintraExportSource>& sources,
    const std::filesystem::path& destination, const std::filesystem::path& temporaryRoot);

// Copies the source files into a new bundle at `url` and writes its property list.
tl::expected<TintraExportSummary, TintraExportError> buildExportBundle(
    const std::vector<TintraExportSource>& sources, const std::filesystem::path& url, const std::string& name);

// The source's file name without leading dots (and with bytes no property list
// can hold made "_"), numbered " 2", " 3" … until its lower-cased form is unused.
std::string uniqueExportFileName(const std::filesystem::path& source, const std::set<std::string>& usedLowercased);

// The entries of the sound-name map that matching by file name would not find.
std::map<TintraSoundID, std::string> exportSoundMap(
    const std::map<TintraSoundID, std::string>& soundNames, const std::map<std::string, int>& useCounts);

} // namespace tintra
