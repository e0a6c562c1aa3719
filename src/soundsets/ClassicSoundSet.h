#pragma once

#include "catalogue/SoundID.h"
#include "soundsets/ResourceProviding.h"
#include "support/Bytes.h"

#include <tl/expected.hpp>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace tintra {

// The sounds of an old Appearance theme file: which 'snd ' resource plays for
// which theme sound, and the file's version texts.
struct TintraClassicSoundSet {
    std::string name;                                       // the file's last path component
    std::optional<std::string> version;                     // 'vers' short version text
    std::optional<std::string> copyright;                   // 'vers' long version text
    std::map<TintraSoundID, std::int16_t> resourceIDsBySoundID;  // every value is a key of soundBodies
    std::map<std::int16_t, Bytes> soundBodies;             // every non-empty 'snd ' by ID
    // 'snd ' resources whose bytes the map marks as compressed: mapped like the
    // others, but nothing here can decode them.
    std::set<std::int16_t> compressedResourceIDs;

    friend bool operator==(const TintraClassicSoundSet&, const TintraClassicSoundSet&) = default;
};

struct TintraClassicSoundSetError {
    enum class Case { noResourceFork, noSoundResources, noRecognizedEvents };
    Case kind;
    std::filesystem::path url;

    // "Platinum Sounds has a resource fork but no sounds in it"
    std::string description() const;

    friend bool operator==(const TintraClassicSoundSetError&, const TintraClassicSoundSetError&) = default;
};

// One entry of a theme sound list ('snd#'): candidate 'snd ' IDs in slot
// order, an empty slot where 0 is stored.
struct SoundListEntry {
    TintraSoundID soundID;
    std::vector<std::optional<std::int16_t>> slots;

    friend bool operator==(const SoundListEntry&, const SoundListEntry&) = default;
};

struct TintraVersionTexts {
    std::optional<std::string> version;
    std::optional<std::string> copyright;

    friend bool operator==(const TintraVersionTexts&, const TintraVersionTexts&) = default;
};

struct TintraPascalString {
    std::optional<std::string> text;
    std::size_t nextOffset;
};

// Reads the file's fork and parses it; runs off the main thread.
tl::expected<TintraClassicSoundSet, TintraClassicSoundSetError> loadClassicSoundSet(const std::filesystem::path& url);

// The mapping comes from the first source that yields anything: sound lists
// ('snd#'), then identification resources ('sdid'), then 'snd ' names.
TintraClassicSoundSet parseClassicSoundSet(const TintraResourceProviding& provider, std::string name);

std::vector<SoundListEntry> parseSoundList(std::span<const std::uint8_t> data);

// The first filled slot naming a present sound, tried 1, 2, 0, 3 for looping
// sounds and in order otherwise.
std::optional<std::int16_t> chooseSlot(const SoundListEntry& entry, const std::map<std::int16_t, Bytes>& soundBodies);

// The short and long version texts of the 'vers' resource with ID 1, else 2,
// else the lowest ID.
TintraVersionTexts readVersionResource(const std::vector<TintraRawResource>& versions);

// A length byte and up to that many Mac OS Roman bytes; no text for length 0.
TintraPascalString readPascalString(std::size_t offset, std::span<const std::uint8_t> data);

} // namespace tintra
