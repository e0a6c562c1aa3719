#pragma once

#include "catalogue/SoundID.h"
#include "soundsets/PlatformError.h"
#include "soundsets/SoundTypeRegistry.h"
#include "support/PropertyList.h"

#include <tl/expected.hpp>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// The property-list fields of a sound set.
struct TintraBundleMetadata {
    std::string identifier;
    std::string name;
    std::optional<std::string> version;
    std::optional<std::string> author;
    std::optional<std::string> copyright;
    std::int64_t formatVersion = 1;

    bool operator==(const TintraBundleMetadata&) const = default;
};

struct TintraBundleError {
    enum class Case { notADirectory, missingInfoPlist, malformedInfoPlist, missingIdentifier, unreadableResources };
    Case kind;
    std::filesystem::path url;
    PlatformError error; // unreadableResources only

    std::string description() const;
    bool operator==(const TintraBundleError&) const = default;
};

// One sound set as found on disk; immutable once loaded.
class TintraBundle {
public:
    TintraBundle(std::filesystem::path url, TintraBundleMetadata metadata, bool isBuiltIn,
        std::map<TintraSoundID, std::filesystem::path> soundURLsByID, std::vector<std::string> unmatchedResourceNames,
        std::map<std::string, std::vector<std::string>> baseNameCollisions);

    const std::filesystem::path& url() const { return url_; }
    const TintraBundleMetadata& metadata() const { return metadata_; }
    bool isBuiltIn() const { return isBuiltIn_; }
    const std::map<TintraSoundID, std::filesystem::path>& soundURLsByID() const { return soundURLsByID_; }
    // Sound files that match no sound, in sorted order.
    const std::vector<std::string>& unmatchedResourceNames() const { return unmatchedResourceNames_; }
    // Lower-cased base name to the further files that matched an already matched sound.
    const std::map<std::string, std::vector<std::string>>& baseNameCollisions() const { return baseNameCollisions_; }

    std::optional<std::filesystem::path> url(TintraSoundID soundID) const;
    bool contains(TintraSoundID soundID) const { return soundURLsByID_.contains(soundID); }

    bool operator==(const TintraBundle&) const = default;

private:
    std::filesystem::path url_;
    TintraBundleMetadata metadata_;
    bool isBuiltIn_;
    std::map<TintraSoundID, std::filesystem::path> soundURLsByID_;
    std::vector<std::string> unmatchedResourceNames_;
    std::map<std::string, std::vector<std::string>> baseNameCollisions_;
};

// Reads a bundle folder; nothing is partly loaded.
tl::expected<TintraBundle, TintraBundleError> loadBundle(
    const std::filesystem::path& url, bool isBuiltIn, const SoundTypeRegistry& registry);

// Creates Contents/Resources (and every missing parent) and writes
// Contents/Info.plist as XML. The caller puts the audio files in place.
tl::expected<std::filesystem::path, PlatformError> writeBundleSkeleton(const std::filesystem::path& url,
    const TintraBundleMetadata& metadata, const std::map<TintraSoundID, std::string>& soundNames = {});

// True when Contents/Resources exists in the folder and is a folder.
bool hasResourcesFolder(const std::filesystem::path& url);

// Contents/Info.plist of a bundle when it reads as a dictionary; nothing when
// it is missing, unreadable, too large or of another shape.
std::optional<PropertyList::Dictionary> readInfoDictionary(const std::filesystem::path& bundleURL);

// Writes a dictionary as the bundle's XML Contents/Info.plist (plain write).
tl::expected<void, PlatformError> writeInfoDictionary(
    const std::filesystem::path& bundleURL, const PropertyList::Dictionary& dictionary);

} // namespace tintra
