#include "playback/Player.h"

#include "catalogue/Catalogue.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tintra {
namespace {

constexpr TintraSoundID scrollArrowEndOfTrack { "sbte" };
constexpr TintraSoundID scrollBarThumb { "sbth" };
constexpr const char* autoPanKey = "TintraAutoPanEnabled";
constexpr const char* masterVolumeKey = "TintraMasterVolume";

TintraPlayer::CategoryVolumes fullCategoryVolumes()
{
    TintraPlayer::CategoryVolumes volumes;
    for (auto category : allSoundCategories)
        volumes[category] = 1.0;
    return volumes;
}

} // namespace

TintraPlayer::TintraPlayer(const SoundResolver& sounds, Defaults& defaults, SilenceQuery& silence, AudioOutput& output,
    const ScreenGeometry& screens, MainExecutor& executor)
    : sounds_(sounds)
    , defaults_(defaults)
    , silence_(silence)
    , output_(output)
    , screens_(screens)
    , executor_(executor)
    , categoryVolumes_(fullCategoryVolumes())
    , enabledCategories_(Categories(allSoundCategories.begin(), allSoundCategories.end()))
    , self_(std::make_shared<TintraPlayer*>(this))
{
    // Written back at once, so a value of the wrong kind or out of range is
    // replaced by the one in use.
    isStereoEnabled_.set(defaults_.boolForKey(autoPanKey, false));
    defaults_.set(autoPanKey, isStereoEnabled_.get());
    masterVolume_.set(std::clamp(defaults_.doubleForKey(masterVolumeKey, 1.0), 0.0, 1.0));
    defaults_.set(masterVolumeKey, masterVolume_.get());
}

TintraPlayer::~TintraPlayer()
{
    if (loopIdleTask_)
        loopIdleTask_->cancel();
}

void TintraPlayer::setStereoEnabled(bool enabled)
{
    if (enabled == isStereoEnabled_.get())
        return;
    isStereoEnabled_.set(enabled);
    defaults_.set(autoPanKey, enabled);
}

void TintraPlayer::setMasterVolume(double volume)
{
    // Not-a-number would poison every volume after it.
    volume = std::isnan(volume) ? 0.0 : std::clamp(volume, 0.0, 1.0);
    if (volume == masterVolume_.get())
        return;
    masterVolume_.set(volume);
    defaults_.set(masterVolumeKey, volume);
}

Subscription TintraPlayer::observe(std::function<void()> onChange)
{
    auto shared = std::make_shared<std::function<void()>>(std::move(onChange));
    auto tell = [shared](const auto&) { (*shared)(); };
    auto subscriptions = std::make_shared<std::vector<Subscription>>();
    subscriptions->push_back(isEnabled_.subscribe(tell));
    subscriptions->push_back(isStereoEnabled_.subscribe(tell));
    subscriptions->push_back(masterVolume_.subscribe(tell));
    subscriptions->push_back(categoryVolumes_.subscribe(tell));
    subscriptions->push_back(enabledCategories_.subscribe(tell));
    subscriptions->push_back(loopIdleTimeout_.subscribe(tell));
    return Subscription(std::move(subscriptions));
}

const TintraVoice* TintraPlayer::voice(TintraSoundID soundID) const
{
    const auto found = voices_.find(soundID);
    return found == voices_.end() ? nullptr : found->second.get();
}

TintraVoice* TintraPlayer::voiceFor(TintraSoundID soundID)
{
    const auto url = sounds_.resolvedURL(soundID);
    if (!url)
        return nullptr;
    if (auto found = voices_.find(soundID); found != voices_.end()) {
        if (found->second->url == *url)
            return found->second.get();
        found->second->stopAndRewindPlaying();
        voices_.erase(found);
    }
    if (failedURLs_.contains(*url))
        return nullptr;
    const TintraSetEntry* entry = entryBySoundID(soundID);
    if (!entry)
        return nullptr;
    auto made = TintraVoice::make(*entry, *url, output_);
    if (!made) {
        failedURLs_.insert(*url);
        std::fputs(fmt::format("TintraPlayer: could not open {}: {}\n", url->filename().string(), made.error().description()).c_str(), stdout);
        return nullptr;
    }
    return (voices_[soundID] = std::move(*made)).get();
}

double TintraPlayer::effectiveVolume(const TintraSetEntry& entry) const
{
    const auto found = categoryVolumes().find(entry.category);
    const double category = found == categoryVolumes().end() ? 1.0 : found->second;
    return std::clamp(entry.volume * category * masterVolume(), 0.0, 1.0);
}

float TintraPlayer::autoPan() const
{
    if (!isStereoEnabled())
        return 0;
    // The union starts from the null rectangle: the first frame is taken as it is.
    std::optional<Rect> all;
    for (const Rect& frame : screens_.screenFrames()) {
        if (!all) {
            all = Rect { frame.minX(), frame.minY(), frame.maxX() - frame.minX(), frame.maxY() - frame.minY() };
            continue;
        }
        const double minX = std::min(all->minX(), frame.minX());
        const double minY = std::min(all->minY(), frame.minY());
        all = Rect { minX, minY, std::max(all->maxX(), frame.maxX()) - minX, std::max(all->maxY(), frame.maxY()) - minY };
    }
    if (!all || !(all->width > 0))
        return 0;
    const double midX = all->x + all->width / 2;
    const double pan = (screens_.pointerLocation().x - midX) / (all->width * 0.5);
    return float(std::clamp(pan, -1.0, 1.0));
}

void TintraPlayer::start(TintraVoice& voice, bool loops, std::optional<float> pan)
{
    AudioPlayer& player = voice.nextPlayer();
    player.setVolume(float(effectiveVolume(voice.entry)));
    float position = 0;
    if (pan)
        position = isStereoEnabled() ? std::clamp(*pan, -1.0f, 1.0f) : 0.0f;
    else if (!voice.entry.flags.contains(TintraSoundFlags::centered))
        position = autoPan();
    player.setPan(position);
    player.setNumberOfLoops(loops ? -1 : 0);
    player.setCurrentTime(0);
    player.play();
}

bool TintraPlayer::play(TintraSoundID soundID, std::optional<float> pan)
{
    if (!isEnabled())
        return false;
    if (silence_.hasCurrentReason()) {
        stopLoop();
        return false;
    }
    TintraVoice* voice = voiceFor(soundID);
    if (!voice)
        return false;
    const TintraSetEntry& entry = voice->entry;
    if (!enabledCategories().contains(entry.category))
        return false;
    if (blockedSoundIDs_.contains(soundID))
        return false;
    if (soundID == scrollArrowEndOfTrack) {
        blockedSoundIDs_.insert(soundID);
    } else {
        if (soundID == scrollBarThumb)
            blockedSoundIDs_.erase(scrollArrowEndOfTrack);
        if (loopingSoundID_) {
            if (*loopingSoundID_ == soundID) {
                restartLoopIdleTimer();
                return false;
            }
            const TintraVoice* looping = this->voice(*loopingSoundID_);
            if (looping && !looping->entry.flags.contains(TintraSoundFlags::persistsOverOthers))
                stopLoop();
        }
    }
    if (entry.flags.contains(TintraSoundFlags::singleInstance) && voice->isAnyPlaying())
        return false;
    const bool loops = entry.flags.contains(TintraSoundFlags::looping);
    start(*voice, loops, pan);
    if (loops) {
        loopingSoundID_ = soundID;
        restartLoopIdleTimer();
    }
    if (onPlay)
        onPlay(soundID);
    return true;
}

void TintraPlayer::preview(TintraSoundID soundID)
{
    TintraVoice* voice = voiceFor(soundID);
    if (!voice)
        return;
    stopLoop();
    start(*voice, false, std::nullopt);
}

void TintraPlayer::stopLoop()
{
    if (loopIdleTask_) {
        loopIdleTask_->cancel();
        loopIdleTask_.reset();
    }
    if (loopingSoundID_) {
        if (auto found = voices_.find(*loopingSoundID_); found != voices_.end())
            found->second->stopAndRewindPlaying();
        loopingSoundID_.reset();
    }
}

void TintraPlayer::restartLoopIdleTimer()
{
    if (loopIdleTask_)
        loopIdleTask_->cancel();
    std::weak_ptr<TintraPlayer*> weak = self_;
    loopIdleTask_ = executor_.schedule(seconds(loopIdleTimeout()), [weak] {
        if (auto player = weak.lock())
            (*player)->stopLoop();
    });
}

void TintraPlayer::stopAll()
{
    stopLoop();
    for (auto& [soundID, voice] : voices_)
        voice->stopAndRewindPlaying();
    blockedSoundIDs_.clear();
}

void TintraPlayer::invalidate(TintraSoundID soundID)
{
    if (loopingSoundID_ == soundID)
        stopLoop();
    if (auto found = voices_.find(soundID); found != voices_.end()) {
        found->second->stopAndRewindPlaying();
        failedURLs_.erase(found->second->url);
        voices_.erase(found);
    }
    if (const auto url = sounds_.resolvedURL(soundID))
        failedURLs_.erase(*url);
}

void TintraPlayer::invalidateAll()
{
    for (const auto& entry : fullCatalogue())
        invalidate(entry.soundID);
}

bool TintraPlayer::isPlaying(TintraSoundID soundID) const
{
    const TintraVoice* found = voice(soundID);
    return found && found->isAnyPlaying();
}

bool TintraPlayer::hasSound(TintraSoundID soundID) const
{
    return sounds_.resolvedURL(soundID).has_value();
}

int TintraPlayer::playableSoundCount() const
{
    return int(std::count_if(listedCatalogue().begin(), listedCatalogue().end(),
        [this](const TintraSetEntry& entry) { return sounds_.resolvedURL(entry.soundID).has_value(); }));
}

} // namespace tintra
