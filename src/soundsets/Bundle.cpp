#include "soundsets/Bundle.h"

#include "catalogue/Catalogue.h"
#include "soundsets/PathName.h"
#include "soundsets/SoundIDKey.h"
#include "soundsets/SoundFile.h"
#include "support/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <set>

namespace tintra {

namespace fs = std::filesystem;

namespace {

// An Info.plist is a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxInfoPlistSize = 16u << 20;

fs::path infoPlistURL(const fs::path& bundleURL)
{
    return bundleURL / "Contents" / "Info.plist";
}

fs::path resourcesURL(const fs::path& bundleURL)
{
    return bundleURL / "Contents" / "Resources";
}

PlatformError lastPlatformError()
{
    return PlatformError::from(std::error_code(errno, std::generic_category()));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::optional<Bytes> readSmallFile(const fs::path& url)
{
    std::error_code error;
    if (fs::status(url, error).type() != fs::file_type::regular)
        return std::nullopt;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(url.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    Bytes bytes;
    std::uint8_t chunk[65536];
    while (true) {
        const std::size_t count = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.insert(bytes.end(), chunk, chunk + count);
        if (bytes.size() > kMaxInfoPlistSize)
            return std::nullopt;
        if (count < sizeof chunk)
            break;
    }
    if (std::ferror(file.get()))
        return std::nullopt;
    return bytes;
}

std::optional<std::string> optionalString(const PropertyList::Dictionary& dictionary, std::string_view key)
{
    const auto found = dictionary.find(key);
    if (found == dictionary.end())
        return std::nullopt;
    const auto* text = found->second.asString();
    return text ? std::optional(*text) : std::nullopt;
}

// "TintraSetSounds" when it is a dictionary whose every value is a string.
std::map<TintraSoundID, std::string> explicitSoundMap(const PropertyList::Dictionary& dictionary)
{
    const auto found = dictionary.find("TintraSetSounds");
    const auto* sounds = found == dictionary.end() ? nullptr : found->second.asDictionary();
    if (!sounds)
        return {};
    std::map<TintraSoundID, std::string> map;
    for (const auto& [key, value] : *sounds) {
        const auto* name = value.asString();
        if (!name)
            return {};
        if (const auto soundID = TintraSoundID::fromText(key))
            map.emplace(*soundID, *name);
    }
    return map;
}

TintraBundleMetadata readMetadata(const PropertyList::Dictionary& dictionary, const fs::path& url)
{
    TintraBundleMetadata metadata;
    metadata.identifier = optionalString(dictionary, "CFBundleIdentifier").value_or("");
    metadata.name = optionalString(dictionary, "CFBundleName").value_or(lastPathComponentWithoutExtension(url));
    metadata.version = optionalString(dictionary, "CFBundleShortVersionString");
    metadata.author = optionalString(dictionary, "TintraSetAuthor");
    metadata.copyright = optionalString(dictionary, "NSHumanReadableCopyright");
    const auto format = dictionary.find("TintraSetFormatVersion");
    const auto* integer = format == dictionary.end() ? nullptr : format->second.asInteger();
    metadata.formatVersion = integer ? *integer : 1;
    return metadata;
}

// Visible names in Contents/Resources, sorted; folders are never sound files.
tl::expected<std::vector<std::string>, std::error_code> listResources(const fs::path& folder)
{
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    std::vector<std::string> names;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        std::string name = entries->path().filename().string();
        std::error_code typeError;
        if (name.starts_with(".") || entries->is_directory(typeError))
            continue;
        names.push_back(std::move(name));
    }
    if (error)
        return tl::unexpected(error);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string TintraBundleError::description() const
{
    const std::string name = lastPathComponent(url);
    switch (kind) {
    case Case::notADirectory:
        return name + " is not a folder";
    case Case::missingInfoPlist:
        return name + " has no Contents/Info.plist";
    case Case::malformedInfoPlist:
        return name + " has an unreadable Contents/Info.plist";
    case Case::missingIdentifier:
        return name + " declares no CFBundleIdentifier";
    case Case::unreadableResources:
        return "Could not read " + name + "/Contents/Resources: " + error.description();
    }
    return name;
}

TintraBundle::TintraBundle(fs::path url, TintraBundleMetadata metadata, bool isBuiltIn,
    std::map<TintraSoundID, fs::path> soundURLsByID, std::vector<std::string> unmatchedResourceNames,
    std::map<std::string, std::vector<std::string>> baseNameCollisions)
    : url_(std::move(url))
    , metadata_(std::move(metadata))
    , isBuiltIn_(isBuiltIn)
    , soundURLsByID_(std::move(soundURLsByID))
    , unmatchedResourceNames_(std::move(unmatchedResourceNames))
    , baseNameCollisions_(std::move(baseNameCollisions))
{
}

std::optional<fs::path> TintraBundle::url(TintraSoundID soundID) const
{
    const auto found = soundURLsByID_.find(soundID);
    return found == soundURLsByID_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<PropertyList::Dictionary> readInfoDictionary(const fs::path& bundleURL)
{
    const auto bytes = readSmallFile(infoPlistURL(bundleURL));
    if (!bytes)
        return std::nullopt;
    auto list = readPropertyList(*bytes);
    if (!list)
        return std::nullopt;
    auto* dictionary = std::get_if<PropertyList::Dictionary>(&list->value);
    return dictionary ? std::optional(std::move(*dictionary)) : std::nullopt;
}

tl::expected<TintraBundle, TintraBundleError> loadBundle(
    const fs::path& url, bool isBuiltIn, const SoundTypeRegistry& registry)
{
    const auto fail = [&](TintraBundleError::Case kind, PlatformError error = {}) {
        return tl::unexpected(TintraBundleError { kind, url, std::move(error) });
    };
    std::error_code error;
    if (fs::status(url, error).type() != fs::file_type::directory)
        return fail(TintraBundleError::Case::notADirectory);
    if (fs::status(infoPlistURL(url), error).type() == fs::file_type::not_found)
        return fail(TintraBundleError::Case::missingInfoPlist);
    const auto dictionary = readInfoDictionary(url);
    if (!dictionary)
        return fail(TintraBundleError::Case::malformedInfoPlist);
    auto metadata = readMetadata(*dictionary, url);
    if (metadata.identifier.empty())
        return fail(TintraBundleError::Case::missingIdentifier);

    const fs::path resources = resourcesURL(url);
    auto names = listResources(resources);
    if (!names)
        return fail(TintraBundleError::Case::unreadableResources, PlatformError::from(names.error()));

    std::map<TintraSoundID, fs::path> soundURLsByID;
    std::set<std::string_view> claimed;
    for (const auto& [soundID, fileName] : explicitSoundMap(*dictionary)) {
        const auto listed = std::lower_bound(names->begin(), names->end(), fileName);
        if (listed == names->end() || *listed != fileName || !isSoundFile(resources / fileName, registry))
            continue;
        soundURLsByID[soundID] = resources / fileName;
        claimed.insert(*listed);
    }

    std::vector<std::string> unmatched;
    std::map<std::string, std::vector<std::string>> collisions;
    for (const auto& name : *names) {
        if (claimed.contains(name))
            continue;
        const fs::path file = resources / name;
        if (fs::path(name).extension().string().size() <= 1 || !isSoundFile(file, registry))
            continue;
        const std::string baseName = lowercased(fs::path(name).stem().string());
        const auto* entry = entryByFileName(baseName);
        if (!entry) {
            unmatched.push_back(name);
            continue;
        }
        const auto [slot, inserted] = soundURLsByID.try_emplace(entry->soundID, file);
        if (!inserted && slot->second != file)
            collisions[baseName].push_back(name);
    }
    return TintraBundle(url, std::move(metadata), isBuiltIn, std::move(soundURLsByID), std::move(unmatched),
        std::move(collisions));
}

tl::expected<void, PlatformError> writeInfoDictionary(const fs::path& bundleURL, const PropertyList::Dictionary& dictionary)
{
    const auto xml = writePropertyListXML(PropertyList(dictionary));
    if (!xml)
        return tl::unexpected(PlatformError { xml.error().description() });
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(infoPlistURL(bundleURL).c_str(), "wb"));
    if (!file)
        return tl::unexpected(lastPlatformError());
    if (std::fwrite(xml->data(), 1, xml->size(), file.get()) != xml->size())
        return tl::unexpected(lastPlatformError());
    if (std::fclose(file.release()) != 0)
        return tl::unexpected(lastPlatformError());
    return {};
}

tl::expected<fs::path, PlatformError> writeBundleSkeleton(
    const fs::path& url, const TintraBundleMetadata& metadata, const std::map<TintraSoundID, std::string>& soundNames)
{
    std::error_code error;
    fs::create_directories(resourcesURL(url), error);
    if (error)
        return tl::unexpected(PlatformError::from(error));

    PropertyList::Dictionary dictionary {
        { "CFBundleIdentifier", metadata.identifier },
        { "CFBundleName", metadata.name },
        { "CFBundlePackageType", "TSET" },
        { "CFBundleInfoDictionaryVersion", "6.0" },
        { "TintraSetFormatVersion", metadata.formatVersion },
    };
    if (metadata.version)
        dictionary.emplace("CFBundleShortVersionString", *metadata.version);
    if (metadata.author)
        dictionary.emplace("TintraSetAuthor", *metadata.author);
    if (metadata.copyright)
        dictionary.emplace("NSHumanReadableCopyright", *metadata.copyright);
    if (!soundNames.empty()) {
        PropertyList::Dictionary sounds;
        for (const auto& [soundID, fileName] : soundNames)
            sounds.emplace(soundIDKey(soundID), fileName);
        dictionary.emplace("TintraSetSounds", std::move(sounds));
    }
    if (auto written = writeInfoDictionary(url, dictionary); !written)
        return tl::unexpected(written.error());
    return url;
}

bool hasResourcesFolder(const fs::path& url)
{
    std::error_code error;
    return fs::is_directory(resourcesURL(url), error);
}

} // namespace tintra
