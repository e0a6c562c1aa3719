#pragma once

#include "catalogue/SetEntry.h"
#include "playback/AudioOutput.h"

#include <tl/expected.hpp>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <vector>

namespace tintra {

// The prepared players of one sound's file, handed out in turn so that quick
// repeats overlap: three for an ordinary sound, one for a looping or
// single-instance sound. Main thread only.
class TintraVoice {
public:
    // Opens and prepares every player; the first failure abandons the voice.
    static tl::expected<std::unique_ptr<TintraVoice>, AudioOpenError>
    make(const TintraSetEntry& entry, const std::filesystem::path& url, AudioOutput& output);

    const TintraSetEntry entry;
    const std::filesystem::path url;

    const std::vector<std::shared_ptr<AudioPlayer>>& players() const { return players_; }
    std::size_t nextPlayerIndex() const { return nextPlayerIndex_; }
    const std::shared_ptr<AudioPlayer>& lastPlayer() const { return lastPlayer_; }

    // The player started the longest ago: with three, a fourth start within
    // the length of the sound restarts the first.
    AudioPlayer& nextPlayer();
    bool isAnyPlaying() const;
    void stopAndRewindPlaying();

private:
    TintraVoice(const TintraSetEntry& entry, std::filesystem::path url, std::vector<std::shared_ptr<AudioPlayer>> players);

    std::vector<std::shared_ptr<AudioPlayer>> players_;
    std::size_t nextPlayerIndex_ = 0;
    std::shared_ptr<AudioPlayer> lastPlayer_;
};

} // namespace tintra
