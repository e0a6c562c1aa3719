#include "soundsets/Assignments.h"

#include "soundsets/AudioFileCheck.h"
#include "soundsets/PathName.h"
#include "soundsets/SoundIDKey.h"
#include "soundsets/SoundFile.h"
#include "support/PlatformTerms.h"

#include <fmt/format.h>

#include <algorithm>

namespace tintra {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBaselineKey = "TintraBaselineSetIdentifier";
constexpr std::string_view kOverridesKey = "TintraSoundSetOverrides";
constexpr std::string_view kCustomSoundsKey = "TintraCustomSoundBookmarks";

bool fileExists(const fs::path& url)
{
    std::error_code error;
    return fs::exists(url, error);
}

} // namespace

std::string TintraCustomSoundError::description() const
{
    const std::string name = lastPathComponent(url);
    switch (kind) {
    case Case::unsupportedFormat:
        return fmt::format("{} is not a sound file {} can open", name, platformTerm::audioFramework);
    case Case::unreadable:
        return "Could not open " + name + ": " + error.description();
    case Case::couldNotBookmark:
        return "Could not remember where " + name + " is: " + error.description();
    }
    return name;
}

TintraAssignments::TintraAssignments(Defaults& defaults, FileBookmarks& bookmarks, const SoundTypeRegistry& registry)
    : defaults_(defaults)
    , bookmarks_(bookmarks)
    , registry_(registry)
{
    load();
}

void TintraAssignments::load()
{
    baselineIdentifier_.set(defaults_.stringForKey(kBaselineKey));

    Overrides overrides;
    if (const auto stored = defaults_.dictionaryForKey(kOverridesKey)) {
        for (const auto& [key, value] : *stored) {
            const auto* identifier = value.asString();
            if (!identifier) {
                overrides.clear();
                break;
            }
            if (const auto soundID = TintraSoundID::fromText(key))
                overrides.emplace(*soundID, *identifier);
        }
    }
    overrides_.set(std::move(overrides));

    const auto stored = defaults_.dictionaryForKey(kCustomSoundsKey);
    const bool allData = stored && std::all_of(stored->begin(), stored->end(), [](const auto& entry) {
        return entry.second.asData() != nullptr;
    });
    if (!allData)
        return;
    CustomSounds customSounds;
    bool renewed = false;
    for (const auto& [key, value] : *stored) {
        const auto soundID = TintraSoundID::fromText(key);
        if (!soundID)
            continue;
        if (auto resolution = resolveBookmark(*value.asData())) {
            renewed = renewed || resolution->isNewBookmark;
            customSounds.emplace(*soundID, std::move(resolution->customSound));
        }
    }
    customSounds_.set(std::move(customSounds));
    if (renewed)
        writeCustomSounds();
}

std::optional<TintraAssignments::Resolution> TintraAssignments::resolveBookmark(const Bytes& bookmark)
{
    if (auto resolved = bookmarks_.resolve(bookmark)) {
        if (resolved->isStale) {
            if (auto fresh = bookmarks_.create(resolved->url))
                return Resolution { { resolved->url, std::move(*fresh) }, true };
        }
        return Resolution { { std::move(resolved->url), bookmark }, false };
    }
    if (auto recorded = bookmarks_.recordedPath(bookmark))
        return Resolution { { std::move(*recorded), bookmark }, false };
    return std::nullopt;
}

void TintraAssignments::setBaselineIdentifier(std::optional<std::string> identifier)
{
    baselineIdentifier_.set(identifier);
    if (identifier)
        defaults_.set(kBaselineKey, *identifier);
    else
        defaults_.removeKey(kBaselineKey);
}

TintraSelection TintraAssignments::selection(TintraSoundID soundID) const
{
    if (const auto custom = customSounds_.get().find(soundID); custom != customSounds_.get().end())
        return TintraSelection::custom(custom->second.url);
    if (const auto stored = overrides_.get().find(soundID); stored != overrides_.get().end())
        return stored->second.empty() ? TintraSelection::silent() : TintraSelection::set(stored->second);
    return TintraSelection::baseline();
}

tl::expected<void, TintraCustomSoundError> TintraAssignments::setSelection(
    const TintraSelection& selection, TintraSoundID soundID)
{
    if (const auto* custom = std::get_if<TintraSelection::Custom>(&selection.value))
        return setCustomSound(custom->url, soundID);

    Overrides overrides = overrides_.get();
    if (const auto* set = std::get_if<TintraSelection::Set>(&selection.value))
        overrides.insert_or_assign(soundID, set->identifier);
    else if (std::holds_alternative<TintraSelection::Silent>(selection.value))
        overrides.insert_or_assign(soundID, std::string());
    else
        overrides.erase(soundID);
    overrides_.set(std::move(overrides));

    CustomSounds customSounds = customSounds_.get();
    if (customSounds.erase(soundID) > 0) {
        customSounds_.set(std::move(customSounds));
        writeCustomSounds();
    }
    writeOverrides();
    return {};
}

tl::expected<void, TintraCustomSoundError> TintraAssignments::setCustomSound(const fs::path& url, TintraSoundID soundID)
{
    using Case = TintraCustomSoundError::Case;
    if (!isSoundFile(url, registry_))
        return tl::unexpected(TintraCustomSoundError { Case::unsupportedFormat, url, {} });
    if (auto opened = checkAudioOpens(url); !opened)
        return tl::unexpected(TintraCustomSoundError { Case::unreadable, url, opened.error() });
    auto bookmark = bookmarks_.create(url);
    if (!bookmark)
        return tl::unexpected(TintraCustomSoundError { Case::couldNotBookmark, url, bookmark.error() });

    CustomSounds customSounds = customSounds_.get();
    customSounds.insert_or_assign(soundID, TintraCustomSound { url, std::move(*bookmark) });
    customSounds_.set(std::move(customSounds));
    writeCustomSounds();

    Overrides overrides = overrides_.get();
    if (overrides.erase(soundID) > 0) {
        overrides_.set(std::move(overrides));
        writeOverrides();
    }
    return {};
}

void TintraAssignments::pruneOverrides(const std::set<std::string>& keeping)
{
    Overrides overrides = overrides_.get();
    const auto pruned = std::erase_if(overrides, [&](const auto& entry) {
        return !entry.second.empty() && !keeping.contains(entry.second);
    });
    if (pruned == 0)
        return;
    overrides_.set(std::move(overrides));
    writeOverrides();
}

void TintraAssignments::refreshCustomSounds()
{
    CustomSounds customSounds = customSounds_.get();
    bool changed = false;
    for (auto& [soundID, customSound] : customSounds) {
        if (fileExists(customSound.url))
            continue;
        auto resolution = resolveBookmark(customSound.bookmark);
        if (resolution && resolution->customSound != customSound) {
            customSound = std::move(resolution->customSound);
            changed = true;
        }
    }
    if (!changed)
        return;
    customSounds_.set(std::move(customSounds));
    writeCustomSounds();
}

const TintraBundle* TintraAssignments::bundleFor(const TintraSelection& selection, const TintraLibrary& library) const
{
    if (const auto* set = std::get_if<TintraSelection::Set>(&selection.value))
        return library.bundle(set->identifier);
    if (std::holds_alternative<TintraSelection::Baseline>(selection.value))
        return library.bundle(baselineIdentifier_.get());
    return nullptr;
}

std::optional<fs::path> TintraAssignments::resolvedURL(TintraSoundID soundID, const TintraLibrary& library) const
{
    const TintraSelection chosen = selection(soundID);
    if (const auto* custom = std::get_if<TintraSelection::Custom>(&chosen.value))
        return fileExists(custom->url) ? std::optional(custom->url) : std::nullopt;
    const auto* bundle = bundleFor(chosen, library);
    return bundle ? bundle->url(soundID) : std::nullopt;
}

std::optional<std::string> TintraAssignments::sourceName(TintraSoundID soundID, const TintraLibrary& library) const
{
    const TintraSelection chosen = selection(soundID);
    if (const auto* custom = std::get_if<TintraSelection::Custom>(&chosen.value))
        return lastPathComponent(custom->url);
    const auto* bundle = bundleFor(chosen, library);
    return bundle ? std::optional(bundle->metadata().name) : std::nullopt;
}

void TintraAssignments::writeOverrides()
{
    PropertyList::Dictionary dictionary;
    for (const auto& [soundID, identifier] : overrides_.get())
        dictionary.emplace(soundIDKey(soundID), identifier);
    defaults_.set(kOverridesKey, std::move(dictionary));
}

void TintraAssignments::writeCustomSounds()
{
    PropertyList::Dictionary dictionary;
    for (const auto& [soundID, customSound] : customSounds_.get())
        dictionary.emplace(soundIDKey(soundID), customSound.bookmark);
    defaults_.set(kCustomSoundsKey, std::move(dictionary));
}

void chooseBaselineIfNone(TintraAssignments& assignments, const TintraLibrary& library)
{
    const auto& bundles = library.bundles().get();
    if (!assignments.baselineIdentifier().get() && !bundles.empty())
        assignments.setBaselineIdentifier(bundles.front().metadata().identifier);
}

} // namespace tintra
