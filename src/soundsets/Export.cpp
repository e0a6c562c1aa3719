#include "soundsets/Export.h"

#include "catalogue/Catalogue.h"
#include "soundsets/PathName.h"
#include "soundsets/PlaceItem.h"
#include "soundsets/TemporaryFolder.h"
#include "support/Text.h"

#include <algorithm>

namespace tintra {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExportedIdentifierPrefix = TINTRA_MAKER_PREFIX ".tintraset.exported.";

std::string lowercasedBaseName(std::string_view fileName)
{
    return lowercased(fs::path(fileName).stem().string());
}

// File names go into the property list, which holds only valid UTF-8 without control characters.
std::string propertyListSafe(std::string name)
{
    const bool valid = decodeUTF8(name).has_value();
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (!valid && byte >= 0x80))
            c = '_';
    }
    return name;
}

tl::expected<TintraExportSummary, TintraExportError> fail(
    TintraExportError::Case kind, const fs::path& url = {}, std::error_code error = {})
{
    return tl::unexpected(TintraExportError { kind, url, error ? PlatformError::from(error) : PlatformError {} });
}

} // namespace

std::string TintraExportError::description() const
{
    switch (kind) {
    case Case::couldNotBuild:
        return "Could not build " + lastPathComponent(url) + ": " + error.description();
    case Case::couldNotPlace:
        return "Could not save " + lastPathComponent(url) + ": " + error.description();
    case Case::nothingToExport:
        return "No event has a sound to export";
    }
    return {};
}

std::vector<TintraExportSource> exportSources(const TintraAssignments& assignments, const TintraLibrary& library)
{
    std::vector<TintraExportSource> sources;
    std::set<TintraSoundID> seen;
    for (const auto& entry : fullCatalogue()) {
        if (!seen.insert(entry.soundID).second)
            continue;
        if (auto url = assignments.resolvedURL(entry.soundID, library))
            sources.push_back({ entry.soundID, std::move(*url), assignments.customSounds().get().contains(entry.soundID) });
    }
    return sources;
}

std::string defaultExportName(const TintraAssignments& assignments, const TintraLibrary& library)
{
    const auto* baseline = library.bundle(assignments.baselineIdentifier().get());
    return baseline ? baseline->metadata().name + " Custom" : "My Sounds";
}

tl::expected<TintraExportSummary, TintraExportError> exportSoundSet(
    const std::vector<TintraExportSource>& sources, const fs::path& destination)
{
    if (sources.empty())
        return fail(TintraExportError::Case::nothingToExport);
    std::error_code error;
    const fs::path root = fs::temp_directory_path(error);
    if (error)
        return fail(TintraExportError::Case::couldNotBuild, destination, error);
    return exportSoundSet(sources, destination, root);
}

tl::expected<TintraExportSummary, TintraExportError> exportSoundSet(
    const std::vector<TintraExportSource>& sources, const fs::path& destination, const fs::path& temporaryRoot)
{
    if (sources.empty())
        return fail(TintraExportError::Case::nothingToExport);
    const auto temporary = makeTemporaryFolder(temporaryRoot, "tintra-export-");
    if (!temporary)
        return fail(TintraExportError::Case::couldNotBuild, destination, temporary.error());
    const auto removeTemporary = [&] {
        std::error_code ignored;
        fs::remove_all(*temporary, ignored);
    };

    const std::string fileName = lastPathComponent(destination);
    const fs::path staging = *temporary / fileName;
    auto summary = buildExportBundle(sources, staging, fs::path(fileName).stem().string());
    if (!summary) {
        removeTemporary();
        return summary;
    }
    const auto placed = placeItem(staging, destination);
    removeTemporary();
    if (placed)
        return fail(TintraExportError::Case::couldNotPlace, destination, placed);
    return summary;
}

tl::expected<TintraExportSummary, TintraExportError> buildExportBundle(
    const std::vector<TintraExportSource>& sources, const fs::path& url, const std::string& name)
{
    const fs::path resources = url / "Contents" / "Resources";
    std::error_code error;
    fs::create_directories(resources, error);
    if (error)
        return fail(TintraExportError::Case::couldNotBuild, url, error);

    std::map<fs::path, std::string> nameForURL;
    std::map<TintraSoundID, std::string> soundNames;
    std::map<std::string, int> useCounts;
    std::set<std::string> used;
    TintraExportSummary summary;
    summary.name = name;
    for (const auto& source : sources) {
        if (soundNames.contains(source.soundID))
            continue;
        auto copied = nameForURL.find(source.url);
        if (copied == nameForURL.end()) {
            const std::string fileName = uniqueExportFileName(source.url, used);
            // Only files: a pipe or a device would block or never end.
            std::error_code copyError;
            if (fs::status(source.url, copyError).type() != fs::file_type::regular
                || !fs::copy_file(source.url, resources / fileName, fs::copy_options::none, copyError)) {
                ++summary.skippedEventCount;
                continue;
            }
            used.insert(lowercased(fileName));
            copied = nameForURL.emplace(source.url, fileName).first;
        }
        soundNames.emplace(source.soundID, copied->second);
        ++useCounts[copied->second];
        summary.customEventCount += source.isCustom ? 1 : 0;
    }
    if (soundNames.empty())
        return fail(TintraExportError::Case::nothingToExport);

    const TintraBundleMetadata metadata {
        std::string(kExportedIdentifierPrefix) + identifierSlug(name), name, "1.0", std::nullopt, std::nullopt, 1
    };
    const auto soundMap = exportSoundMap(soundNames, useCounts);
    if (auto written = writeBundleSkeleton(url, metadata, soundMap); !written)
        return tl::unexpected(TintraExportError { TintraExportError::Case::couldNotBuild, url, written.error() });

    summary.eventCount = static_cast<int>(soundNames.size());
    summary.soundCount = static_cast<int>(nameForURL.size());
    summary.mappedEventCount = static_cast<int>(soundMap.size());
    return summary;
}

std::string uniqueExportFileName(const fs::path& source, const std::set<std::string>& usedLowercased)
{
    std::string name = lastPathComponent(source);
    name.erase(0, name.find_first_not_of('.'));
    name = name.empty() ? "Sound" : propertyListSafe(std::move(name));
    if (!usedLowercased.contains(lowercased(name)))
        return name;
    const fs::path path(name);
    const std::string base = path.stem().string();
    const std::string extension = path.extension().string();
    for (int n = 2;; ++n) {
        std::string candidate = base + " " + std::to_string(n) + extension;
        if (!usedLowercased.contains(lowercased(candidate)))
            return candidate;
    }
}

std::map<TintraSoundID, std::string> exportSoundMap(
    const std::map<TintraSoundID, std::string>& soundNames, const std::map<std::string, int>& useCounts)
{
    std::map<TintraSoundID, std::string> map;
    for (const auto& [soundID, fileName] : soundNames) {
        const auto* entry = entryBySoundID(soundID);
        const auto uses = useCounts.find(fileName);
        const bool shared = uses != useCounts.end() && uses->second > 1;
        if (!entry || lowercasedBaseName(fileName) != lowercasedBaseName(entry->fileName) || shared)
            map.emplace(soundID, fileName);
    }
    return map;
}

} // namespace tintra
