#include "platform/linux/pulse/AudioMixer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tintra {

// One player's place in the mix. Fields other than `playing` are guarded by
// the mixer's lock; `playing` is also read without it.
struct AudioMixer::Track {
    std::shared_ptr<const DecodedSound> sound;
    std::size_t position = 0;
    int loopsLeft = 0;
    int numberOfLoops = 0;
    float volume = 1;
    float pan = 0;
    float gainLeft = 1;
    float gainRight = 1;
    bool active = false;
    std::atomic<bool> playing { false };

    void updateGains()
    {
        const float p = std::clamp(pan, -1.0f, 1.0f);
        const float v = std::clamp(volume, 0.0f, 1.0f);
        if (sound->channels == 1) {
            // Equal power: the sum of the squares stays 1 across the field.
            const double angle = (double(p) + 1.0) * std::numbers::pi / 4.0;
            gainLeft = p >= 1.0f ? 0.0f : v * float(std::cos(angle));
            gainRight = p <= -1.0f ? 0.0f : v * float(std::sin(angle));
        } else {
            gainLeft = v * (p > 0 ? 1.0f - p : 1.0f);
            gainRight = v * (p < 0 ? 1.0f + p : 1.0f);
        }
    }

    void finish()
    {
        active = false;
        position = 0;
        playing.store(false, std::memory_order_release);
    }

    // Adds this track to `out`; ends it when the sound and its loops run out.
    void mixInto(float* out, std::size_t frames)
    {
        const float* samples = sound->samples.data();
        const std::size_t length = sound->frames;
        std::size_t done = 0;
        while (done < frames) {
            if (position >= length) {
                if (loopsLeft == 0) {
                    finish();
                    return;
                }
                if (loopsLeft > 0)
                    --loopsLeft;
                position = 0;
            }
            const std::size_t count = std::min(frames - done, length - position);
            float* to = out + done * 2;
            if (sound->channels == 1) {
                const float* from = samples + position;
                for (std::size_t i = 0; i < count; ++i) {
                    to[i * 2] += from[i] * gainLeft;
                    to[i * 2 + 1] += from[i] * gainRight;
                }
            } else {
                const float* from = samples + position * 2;
                for (std::size_t i = 0; i < count; ++i) {
                    to[i * 2] += from[i * 2] * gainLeft;
                    to[i * 2 + 1] += from[i * 2 + 1] * gainRight;
                }
            }
            position += count;
            done += count;
        }
        if (position >= length && loopsLeft == 0)
            finish();
    }
};

class MixerPlayer final : public AudioPlayer {
public:
    MixerPlayer(AudioMixer& mixer, std::shared_ptr<const DecodedSound> sound)
        : mixer_(mixer)
    {
        track_.sound = std::move(sound);
        track_.updateGains();
        mixer_.add(&track_);
    }
    ~MixerPlayer() override { mixer_.remove(&track_); }

    void prepareToPlay() override { }
    void play() override { mixer_.start(track_); }
    void stop() override { mixer_.stop(track_); }
    bool isPlaying() const override { return track_.playing.load(std::memory_order_acquire); }

    void setVolume(float volume) override
    {
        mixer_.change(track_, [volume](AudioMixer::Track& track) {
            track.volume = volume;
            track.updateGains();
        });
    }
    void setPan(float pan) override
    {
        mixer_.change(track_, [pan](AudioMixer::Track& track) {
            track.pan = pan;
            track.updateGains();
        });
    }
    void setNumberOfLoops(int loops) override
    {
        mixer_.change(track_, [loops](AudioMixer::Track& track) {
            track.numberOfLoops = loops;
            track.loopsLeft = loops;
        });
    }
    void setCurrentTime(double seconds) override
    {
        const double frame = std::max(0.0, seconds) * mixer_.outputRate();
        mixer_.change(track_, [frame](AudioMixer::Track& track) {
            track.position = std::size_t(std::min(frame, double(track.sound->frames)));
        });
    }

private:
    AudioMixer& mixer_;
    AudioMixer::Track track_;
};

AudioMixer::AudioMixer(int outputRate)
    : outputRate_(outputRate)
{
}

AudioMixer::~AudioMixer() = default;

tl::expected<std::unique_ptr<AudioPlayer>, AudioOpenError> AudioMixer::open(const std::filesystem::path& url)
{
    std::error_code error;
    const auto key = std::make_pair(url, std::filesystem::last_write_time(url, error));
    std::erase_if(decoded_, [](const auto& item) { return item.second.expired(); });
    std::shared_ptr<const DecodedSound> sound;
    if (auto found = decoded_.find(key); !error && found != decoded_.end())
        sound = found->second.lock();
    if (!sound) {
        auto decoded = decodeSound(url, outputRate_);
        if (!decoded)
            return tl::unexpected(decoded.error());
        sound = *decoded;
        if (!error)
            decoded_[key] = sound;
    }
    return std::make_unique<MixerPlayer>(*this, std::move(sound));
}

bool AudioMixer::render(float* out, std::size_t frames)
{
    std::fill(out, out + frames * 2, 0.0f);
    std::lock_guard lock(mutex_);
    bool anyActive = false;
    for (Track* track : tracks_) {
        if (!track->active)
            continue;
        track->mixInto(out, frames);
        anyActive = anyActive || track->active;
    }
    return anyActive;
}

bool AudioMixer::isActive() const
{
    std::lock_guard lock(mutex_);
    return std::any_of(tracks_.begin(), tracks_.end(), [](const Track* track) { return track->active; });
}

void AudioMixer::setOutputAvailable(bool available)
{
    outputAvailable_.store(available);
    if (available)
        return;
    std::lock_guard lock(mutex_);
    for (Track* track : tracks_) {
        if (track->active)
            track->finish();
    }
}

void AudioMixer::add(Track* track)
{
    std::lock_guard lock(mutex_);
    tracks_.push_back(track);
}

void AudioMixer::remove(Track* track)
{
    std::lock_guard lock(mutex_);
    std::erase(tracks_, track);
}

void AudioMixer::start(Track& track)
{
    {
        std::lock_guard lock(mutex_);
        if (!outputAvailable_.load())
            return;
        if (track.position >= track.sound->frames)
            track.position = 0;
        track.loopsLeft = track.numberOfLoops;
        track.active = true;
        track.playing.store(true, std::memory_order_release);
    }
    if (startListener_)
        startListener_();
}

void AudioMixer::stop(Track& track)
{
    std::lock_guard lock(mutex_);
    track.active = false;
    track.playing.store(false, std::memory_order_release);
}

} // namespace tintra
