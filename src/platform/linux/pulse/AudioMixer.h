#pragma once

#include "platform/linux/pulse/DecodedSound.h"
#include "playback/AudioOutput.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace tintra {

// Mixes every playing player into one stereo stream of 32-bit float frames.
//
// Players are made and driven on the main thread. `render` runs on the audio
// thread (or in a test, offline): it never allocates, does no I/O and holds
// the mixer's lock only while it mixes one buffer; the main thread takes the
// same lock for a few stores per call, so neither waits long on the other.
// Mono sounds are placed with an equal-power pan, stereo sounds with a
// balance.
class AudioMixer final : public AudioOutput {
public:
    explicit AudioMixer(int outputRate);
    ~AudioMixer() override;

    int outputRate() const { return outputRate_; }

    tl::expected<std::unique_ptr<AudioPlayer>, AudioOpenError> open(const std::filesystem::path& url) override;

    // Writes `frames` interleaved stereo frames (overwriting `out`) and
    // advances every playing player. Returns whether any player still plays.
    bool render(float* out, std::size_t frames);
    bool isActive() const;

    // While the output is unavailable, `play` starts nothing (and the players
    // playing are stopped), as a platform player fails to start without a device.
    void setOutputAvailable(bool available);

    // Called on the main thread after a player starts; the output uses it to
    // wake its audio thread. Set before the first player is opened.
    void setStartListener(std::function<void()> listener) { startListener_ = std::move(listener); }

    struct Track;

private:
    friend class MixerPlayer;
    void add(Track* track);
    void remove(Track* track);
    void start(Track& track);
    void stop(Track& track);
    template <typename Change>
    void change(Track& track, Change&& change)
    {
        std::lock_guard lock(mutex_);
        change(track);
    }

    const int outputRate_;
    mutable std::mutex mutex_;
    std::vector<Track*> tracks_;
    std::atomic<bool> outputAvailable_ { true };
    std::function<void()> startListener_;
    // Players of one file share its decoded sound (three per ordinary voice).
    std::map<std::pair<std::filesystem::path, std::filesystem::file_time_type>, std::weak_ptr<const DecodedSound>> decoded_;
};

} // namespace tintra
