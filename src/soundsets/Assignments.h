#pragma once

#include "catalogue/SoundID.h"
#include "soundsets/CustomSound.h"
#include "soundsets/FileBookmarks.h"
#include "soundsets/Library.h"
#include "soundsets/Selection.h"
#include "soundsets/SoundTypeRegistry.h"
#include "support/Defaults.h"
#include "support/Observable.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace tintra {

// Which sound plays for each theme sound: one baseline set, and per sound an
// override naming another set, silence, or a file of the user's own. Kept in
// the user defaults. Main thread only; observers hear only of real changes.
class TintraAssignments {
public:
    using Overrides = std::map<TintraSoundID, std::string>;
    using CustomSounds = std::map<TintraSoundID, TintraCustomSound>;

    // Loads the three keys; bookmarks that resolve to a fresh one are written back once.
    TintraAssignments(Defaults& defaults, FileBookmarks& bookmarks, const SoundTypeRegistry& registry);

    const Observable<std::optional<std::string>>& baselineIdentifier() const { return baselineIdentifier_; }
    // Stores and writes "TintraBaselineSetIdentifier" (removed for none).
    void setBaselineIdentifier(std::optional<std::string> identifier);

    // An identifier per sound, the empty text for silence.
    const Observable<Overrides>& overrides() const { return overrides_; }
    const Observable<CustomSounds>& customSounds() const { return customSounds_; }
    // Replace the maps in memory only.
    void setOverrides(Overrides overrides) { overrides_.set(std::move(overrides)); }
    void setCustomSounds(CustomSounds customSounds) { customSounds_.set(std::move(customSounds)); }

    TintraSelection selection(TintraSoundID soundID) const;
    tl::expected<void, TintraCustomSoundError> setSelection(const TintraSelection& selection, TintraSoundID soundID);
    // The file must be a sound file that really opens; on failure nothing changes.
    tl::expected<void, TintraCustomSoundError> setCustomSound(const std::filesystem::path& url, TintraSoundID soundID);

    // Drops set overrides naming none of the identifiers; silence stays.
    void pruneOverrides(const std::set<std::string>& keeping);
    // Finds custom files again that are no longer where they were.
    void refreshCustomSounds();

    // The file that plays for the sound, or nothing for silence.
    std::optional<std::filesystem::path> resolvedURL(TintraSoundID soundID, const TintraLibrary& library) const;
    // Where the sound comes from: the set's name or the custom file's name.
    std::optional<std::string> sourceName(TintraSoundID soundID, const TintraLibrary& library) const;

private:
    struct Resolution {
        TintraCustomSound customSound;
        bool isNewBookmark = false;
    };
    std::optional<Resolution> resolveBookmark(const Bytes& bookmark);
    const TintraBundle* bundleFor(const TintraSelection& selection, const TintraLibrary& library) const;
    void load();
    void writeOverrides();
    void writeCustomSounds();

    Defaults& defaults_;
    FileBookmarks& bookmarks_;
    const SoundTypeRegistry& registry_;
    Observable<std::optional<std::string>> baselineIdentifier_;
    Observable<Overrides> overrides_;
    Observable<CustomSounds> customSounds_;
};

// With no baseline chosen, the first installed set becomes it (none while
// the library is empty). Run after every change of the library.
void chooseBaselineIfNone(TintraAssignments& assignments, const TintraLibrary& library);

} // namespace tintra
