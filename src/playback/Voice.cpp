#include "playback/Voice.h"

#include <algorithm>

namespace tintra {

tl::expected<std::unique_ptr<TintraVoice>, AudioOpenError>
TintraVoice::make(const TintraSetEntry& entry, const std::filesystem::path& url, AudioOutput& output)
{
    const bool onePlayer = entry.flags.intersection({ TintraSoundFlags::looping, TintraSoundFlags::singleInstance }) != TintraSoundFlags {};
    const std::size_t poolSize = onePlayer ? 1 : 3;
    std::vector<std::shared_ptr<AudioPlayer>> players;
    for (std::size_t slot = 0; slot < poolSize; ++slot) {
        auto player = output.open(url);
        if (!player)
            return tl::unexpected(player.error());
        (*player)->prepareToPlay();
        players.push_back(std::move(*player));
    }
    return std::unique_ptr<TintraVoice>(new TintraVoice(entry, url, std::move(players)));
}

TintraVoice::TintraVoice(const TintraSetEntry& entry, std::filesystem::path url, std::vector<std::shared_ptr<AudioPlayer>> players)
    : entry(entry)
    , url(std::move(url))
    , players_(std::move(players))
{
}

AudioPlayer& TintraVoice::nextPlayer()
{
    lastPlayer_ = players_[nextPlayerIndex_];
    nextPlayerIndex_ = (nextPlayerIndex_ + 1) % players_.size();
    return *lastPlayer_;
}

bool TintraVoice::isAnyPlaying() const
{
    return std::any_of(players_.begin(), players_.end(), [](const auto& player) { return player->isPlaying(); });
}

void TintraVoice::stopAndRewindPlaying()
{
    for (const auto& player : players_) {
        if (player->isPlaying()) {
            player->stop();
            player->setCurrentTime(0);
        }
    }
}

} // namespace tintra
