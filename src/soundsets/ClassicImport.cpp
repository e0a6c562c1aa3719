#include "soundsets/ClassicImport.h"

#include "catalogue/Catalogue.h"
#include "soundsets/Bundle.h"
#include "soundsets/CafFile.h"
#include "soundsets/Library.h"
#include "soundsets/PathName.h"
#include "soundsets/TemporaryFolder.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <set>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using Case = TintraClassicImportError::Case;

tl::unexpected<TintraClassicImportError> writeFailure(const std::string& fileName, std::string error)
{
    return tl::unexpected(TintraClassicImportError { Case::couldNotWriteAudio, {}, fileName, std::move(error) });
}

tl::unexpected<TintraClassicImportError> allocationFailure(const std::string& fileName)
{
    return tl::unexpected(TintraClassicImportError { Case::couldNotAllocateBuffer, {}, fileName, {} });
}

// A sound with no rate or not one whole frame cannot become a file.
bool hasWholeFrame(const TintraDecodedSound& sound)
{
    return sound.sampleRate > 0 && sound.channelCount >= 1 && sound.samples.size() >= sound.channelCount;
}

std::string baseName(std::string_view fileName)
{
    return std::string(fileName.substr(0, fileName.rfind('.')));
}

constexpr std::string_view kImportedIdentifierPrefix = TINTRA_MAKER_PREFIX ".tintraset.imported.";

} // namespace

std::string importSummaryText(std::span<const TintraClassicImportSummary> summaries)
{
    if (summaries.empty())
        return {};
    int written = 0, sounds = 0, skipped = 0;
    for (const auto& summary : summaries) {
        written += summary.writtenEventCount;
        sounds += summary.distinctSoundCount;
        skipped += summary.skippedEventCount;
    }
    auto text = summaries.size() == 1 ? fmt::format("{}: {} events from {} sounds", summaries[0].name, written, sounds)
                                      : fmt::format("Imported {} sets: {} events from {} sounds", summaries.size(), written, sounds);
    if (skipped >= 1)
        text += fmt::format(", {} skipped", skipped);
    return text;
}

std::string TintraClassicImportError::description() const
{
    switch (kind) {
    case Case::noConvertibleSounds: return "Nothing in " + lastPathComponent(url) + " could be decoded into audio";
    case Case::couldNotWriteAudio: return "Could not write " + file + ": " + platformError;
    case Case::couldNotAllocateBuffer: return "Could not allocate an audio buffer for " + file;
    }
    return {};
}

std::string TintraClassicImportFailure::description() const
{
    return std::visit([](const auto& error) { return std::string(error.description()); }, cause);
}

tl::expected<fs::path, PlatformError> makeTemporaryImportFolder()
{
    std::error_code error;
    const fs::path root = fs::temp_directory_path(error);
    if (error)
        return tl::unexpected(PlatformError::from(error));
    return makeTemporaryFolder(root, "tintra-import-").map_error(PlatformError::from);
}

tl::expected<TintraClassicImportSummary, TintraClassicImportFailure> importClassicSoundSet(
    const fs::path& file, const fs::path& folder)
{
    const auto set = loadClassicSoundSet(file);
    if (!set)
        return tl::unexpected(TintraClassicImportFailure { set.error() });
    const std::string name = lastPathComponent(file);
    const fs::path bundle = folder / (name + ".tintraset");
    const TintraBundleMetadata metadata { std::string(kImportedIdentifierPrefix) + identifierSlug(name), name,
        set->version, std::nullopt, set->copyright, 1 };
    if (auto written = writeBundleSkeleton(bundle, metadata); !written)
        return tl::unexpected(TintraClassicImportFailure { written.error() });

    auto counts = writeClassicSounds(*set, bundle);
    if (!counts || counts->writtenEventCount == 0) {
        // Also after a write failure: a caller importing outside a temporary
        // folder must not be left with half a bundle.
        std::error_code ignored;
        fs::remove_all(bundle, ignored);
        if (!counts)
            return tl::unexpected(TintraClassicImportFailure { counts.error() });
        return tl::unexpected(TintraClassicImportFailure { TintraClassicImportError { Case::noConvertibleSounds, file, {}, {} } });
    }
    return TintraClassicImportSummary { name, counts->writtenEventCount, counts->skippedEventCount, counts->distinctSoundCount };
}

tl::expected<void, TintraClassicImportError> writeSoundFile(
    const TintraDecodedSound& sound, const std::filesystem::path& destination, const std::string& fileName)
{
    if (!hasWholeFrame(sound))
        return allocationFailure(fileName);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(destination.c_str(), "wb"), std::fclose);
    if (!file)
        return writeFailure(fileName, std::strerror(errno));

    const std::uint64_t frames = sound.samples.size() / sound.channelCount;
    const std::size_t sampleCount = std::size_t(frames * sound.channelCount);
    Bytes buffer;
    try {
        buffer = cafHeader(sound.sampleRate, sound.channelCount, frames);
        buffer.reserve(buffer.size() + sampleCount * 2);
    } catch (const std::bad_alloc&) {
        return allocationFailure(fileName);
    }
    for (std::size_t i = 0; i < sampleCount; ++i) {
        const auto sample = std::uint16_t(sound.samples[i]);
        buffer.push_back(std::uint8_t(sample));
        buffer.push_back(std::uint8_t(sample >> 8));
    }

    const bool written = std::fwrite(buffer.data(), 1, buffer.size(), file.get()) == buffer.size();
    const int writeError = errno;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        const int error = !written ? writeError : errno;
        std::error_code ignored;
        std::filesystem::remove(destination, ignored);
        return writeFailure(fileName, std::strerror(error));
    }
    return {};
}

tl::expected<TintraClassicSoundCounts, TintraClassicImportError> writeClassicSounds(
    const TintraClassicSoundSet& set, const std::filesystem::path& bundle)
{
    const auto resources = bundle / "Contents" / "Resources";
    std::map<std::int16_t, std::filesystem::path> writtenByResource;
    std::set<std::int16_t> failedResources;
    TintraClassicSoundCounts counts;
    // The map is ordered by sound ID as an unsigned 32-bit number.
    for (const auto& [soundID, resourceID] : set.resourceIDsBySoundID) {
        const auto* entry = entryBySoundID(soundID);
        if (!entry) {
            ++counts.skippedEventCount;
            continue;
        }
        const auto fileName = baseName(entry->fileName);
        const auto destination = resources / (fileName + ".caf");
        std::error_code error;
        if (std::filesystem::exists(destination, error))
            continue;
        if (const auto written = writtenByResource.find(resourceID); written != writtenByResource.end()) {
            const bool copied = std::filesystem::copy_file(written->second, destination, error);
            ++(copied ? counts.writtenEventCount : counts.skippedEventCount);
            continue;
        }
        std::optional<TintraDecodedSound> sound;
        const auto body = set.soundBodies.find(resourceID);
        if (!failedResources.contains(resourceID) && !set.compressedResourceIDs.contains(resourceID)
            && body != set.soundBodies.end())
            sound = decodeSoundResource(body->second);
        // A damaged sound is skipped like an undecodable one rather than ending the import.
        if (!sound || !hasWholeFrame(*sound)) {
            failedResources.insert(resourceID);
            ++counts.skippedEventCount;
            continue;
        }
        if (auto written = writeSoundFile(*sound, destination, fileName); !written)
            return tl::unexpected(written.error());
        writtenByResource.emplace(resourceID, destination);
        ++counts.writtenEventCount;
    }
    counts.distinctSoundCount = int(writtenByResource.size());
    return counts;
}

} // namespace tintra
