#pragma once

#include "catalogue/SoundCategory.h"
#include "catalogue/SoundID.h"
#include "playback/AudioOutput.h"
#include "playback/ScreenGeometry.h"
#include "playback/SilenceQuery.h"
#include "playback/SoundResolver.h"
#include "playback/Voice.h"
#include "support/Defaults.h"
#include "support/MainExecutor.h"
#include "support/Observable.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>

namespace tintra {

// Turns a sound code into sound: finds the file the user's choice assigns to
// it, keeps a voice of prepared players per code, sets volume and stereo
// position, and applies the rules of a desktop of rapid events (drag sounds
// loop while their events repeat, the scroll end-of-track sound plays once per
// thumb drag, single-instance sounds are not restarted while they play, and
// nothing starts while a reason for silence holds).
//
// Main thread only; the loop idle timer runs on the main executor.
class TintraPlayer {
public:
    using CategoryVolumes = std::map<TintraSoundCategory, double>;
    using Categories = std::set<TintraSoundCategory>;

    TintraPlayer(const SoundResolver& sounds, Defaults& defaults, SilenceQuery& silence, AudioOutput& output,
        const ScreenGeometry& screens, MainExecutor& executor);
    ~TintraPlayer();
    TintraPlayer(const TintraPlayer&) = delete;
    TintraPlayer& operator=(const TintraPlayer&) = delete;

    // True only if a sound was started. `pan` runs from -1 (left) to 1 (right).
    bool play(TintraSoundID soundID, std::optional<float> pan = std::nullopt);
    // Plays once regardless of the switches, the silence and the blocks.
    void preview(TintraSoundID soundID);
    void stopAll();
    // After the assignment of one sound changed: the next play makes a new voice.
    void invalidate(TintraSoundID soundID);
    // After sets came or went: any sound may now have another file.
    void invalidateAll();
    bool isPlaying(TintraSoundID soundID) const;
    bool hasSound(TintraSoundID soundID) const;
    // Listed catalogue rows for which a file resolves.
    int playableSoundCount() const;

    bool isEnabled() const { return isEnabled_.get(); }
    void setEnabled(bool enabled) { isEnabled_.set(enabled); }
    // Persisted under "TintraAutoPanEnabled".
    bool isStereoEnabled() const { return isStereoEnabled_.get(); }
    void setStereoEnabled(bool enabled);
    // 0 … 1, persisted under "TintraMasterVolume".
    double masterVolume() const { return masterVolume_.get(); }
    void setMasterVolume(double volume);
    const CategoryVolumes& categoryVolumes() const { return categoryVolumes_.get(); }
    void setCategoryVolumes(CategoryVolumes volumes) { categoryVolumes_.set(std::move(volumes)); }
    const Categories& enabledCategories() const { return enabledCategories_.get(); }
    void setEnabledCategories(Categories categories) { enabledCategories_.set(std::move(categories)); }
    double loopIdleTimeout() const { return loopIdleTimeout_.get(); }
    void setLoopIdleTimeout(double seconds) { loopIdleTimeout_.set(seconds); }

    // Told after any change of the switches, volumes and time-out above.
    [[nodiscard]] Subscription observe(std::function<void()> onChange);

    // Told of every sound started by `play`.
    std::function<void(TintraSoundID)> onPlay;

    const TintraVoice* voice(TintraSoundID soundID) const;
    const std::set<std::filesystem::path>& failedURLs() const { return failedURLs_; }
    std::optional<TintraSoundID> loopingSoundID() const { return loopingSoundID_; }
    const std::set<TintraSoundID>& blockedSoundIDs() const { return blockedSoundIDs_; }

    // The player volume of a row: row × category × master, within 0 … 1.
    double effectiveVolume(const TintraSetEntry& entry) const;
    // Where the pointer is across the union of all screens, or 0.
    float autoPan() const;

private:
    TintraVoice* voiceFor(TintraSoundID soundID);
    void start(TintraVoice& voice, bool loops, std::optional<float> pan);
    void stopLoop();
    void restartLoopIdleTimer();

    const SoundResolver& sounds_;
    Defaults& defaults_;
    SilenceQuery& silence_;
    AudioOutput& output_;
    const ScreenGeometry& screens_;
    MainExecutor& executor_;

    Observable<bool> isEnabled_ { true };
    Observable<bool> isStereoEnabled_ { false };
    Observable<double> masterVolume_ { 1.0 };
    Observable<CategoryVolumes> categoryVolumes_;
    Observable<Categories> enabledCategories_;
    Observable<double> loopIdleTimeout_ { 0.25 };

    std::unordered_map<TintraSoundID, std::unique_ptr<TintraVoice>> voices_;
    std::set<std::filesystem::path> failedURLs_;
    std::optional<TintraSoundID> loopingSoundID_;
    std::optional<ScheduledWork> loopIdleTask_;
    std::set<TintraSoundID> blockedSoundIDs_;
    // The loop idle timer holds the player through this, weakly.
    std::shared_ptr<TintraPlayer*> self_;
};

} // namespace tintra
