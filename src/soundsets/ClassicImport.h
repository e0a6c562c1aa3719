#pragma once

#include "soundsets/ClassicSoundSet.h"
#include "soundsets/PlatformError.h"
#include "soundsets/SoundResource.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <span>
#include <string>
#include <variant>

namespace tintra {

// What one import wrote, as the settings window reports it.
struct TintraClassicImportSummary {
    std::string name;                // the classic file's last path component
    int writtenEventCount = 0;       // sounds given a file, copies included
    int skippedEventCount = 0;       // mapped sounds that got none
    int distinctSoundCount = 0;      // 'snd ' resources decoded and written

    friend bool operator==(const TintraClassicImportSummary&, const TintraClassicImportSummary&) = default;
};

// "Platinum: 80 events from 60 sounds, 2 skipped" for one set, "Imported 3
// sets: …" with the counts summed for several, empty for none.
std::string importSummaryText(std::span<const TintraClassicImportSummary> summaries);

struct TintraClassicImportError {
    enum class Case { noConvertibleSounds, couldNotWriteAudio, couldNotAllocateBuffer };
    Case kind;
    std::filesystem::path url;  // noConvertibleSounds: the classic file
    std::string file;           // the others: the sound file's base name ("MenuItemHilite")
    std::string platformError;  // couldNotWriteAudio

    // "Could not write MenuOpen: No space left on device"
    std::string description() const;

    friend bool operator==(const TintraClassicImportError&, const TintraClassicImportError&) = default;
};

// Why an import failed: the classic file's own failure, the import's, or the
// platform's while writing the bundle's property list.
struct TintraClassicImportFailure {
    std::variant<TintraClassicSoundSetError, TintraClassicImportError, PlatformError> cause;

    std::string description() const;
};

struct TintraClassicSoundCounts {
    int writtenEventCount = 0;
    int skippedEventCount = 0;
    int distinctSoundCount = 0;

    friend bool operator==(const TintraClassicSoundCounts&, const TintraClassicSoundCounts&) = default;
};

// Creates "tintra-import-" + a fresh UUID inside the platform's temporary folder.
tl::expected<std::filesystem::path, PlatformError> makeTemporaryImportFolder();

// Writes NAME.tintraset into `folder` for the classic file NAME; the bundle is
// removed again when no sound could be written or writing one failed.
// Touches only that folder; any thread.
tl::expected<TintraClassicImportSummary, TintraClassicImportFailure> importClassicSoundSet(
    const std::filesystem::path& file, const std::filesystem::path& folder);

// Writes one CAF file into the bundle's "Contents/Resources" for every mapped
// sound the catalogue knows, by sound ID ascending: a resource shared by
// several sounds is decoded once and copied; undecodable ones are skipped.
// Only a failure to write a decoded sound ends it.
tl::expected<TintraClassicSoundCounts, TintraClassicImportError> writeClassicSounds(
    const TintraClassicSoundSet& set, const std::filesystem::path& bundle);

// One CAF file of 16-bit signed little-endian interleaved PCM at the sound's
// own rate and channel count; surplus samples of an unfinished frame are dropped.
// `fileName` names the file in messages.
tl::expected<void, TintraClassicImportError> writeSoundFile(
    const TintraDecodedSound& sound, const std::filesystem::path& destination, const std::string& fileName);

} // namespace tintra
