#pragma once

#include "playback/AudioOutput.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tintra {

// Audio players that record what was asked of them. Each player's sound
// "plays" until the test ends it (finish) or the player is stopped. Files
// named in failures fail to open with the error given.
class AudioOutputFake final : public AudioOutput {
public:
    struct Player final : public AudioPlayer {
        std::filesystem::path url;
        bool prepared = false;
        bool playing = false;
        float volume = 1;
        float pan = 0;
        int numberOfLoops = 0;
        double currentTime = 0;
        int playCount = 0;
        int stopCount = 0;
        bool released = false;   // its voice let it go
        // Settings as they were at each play: what was heard.
        struct Start {
            float volume;
            float pan;
            int numberOfLoops;
            double currentTime;
        };
        std::vector<Start> starts;

        void prepareToPlay() override { prepared = true; }
        void play() override;
        void stop() override;
        bool isPlaying() const override { return playing; }
        void setVolume(float value) override { volume = value; }
        void setPan(float value) override { pan = value; }
        void setNumberOfLoops(int loops) override { numberOfLoops = loops; }
        void setCurrentTime(double seconds) override { currentTime = seconds; }
        // The sound ran out.
        void finish() { playing = false; }
    };

    tl::expected<std::unique_ptr<AudioPlayer>, AudioOpenError> open(const std::filesystem::path& url) override;

    void failOpening(const std::filesystem::path& url, AudioOpenError error) { failures_[url] = std::move(error); }
    void allowOpening(const std::filesystem::path& url) { failures_.erase(url); }

    int openCount() const { return openCount_; }
    // The players of a file still held by their voice, in the order made;
    // with everyPlayer, also those released.
    std::vector<Player*> playersOf(const std::filesystem::path& url, bool everyPlayer = false) const;

private:
    std::map<std::filesystem::path, AudioOpenError> failures_;
    std::vector<std::shared_ptr<Player>> players_;
    int openCount_ = 0;
};

} // namespace tintra
