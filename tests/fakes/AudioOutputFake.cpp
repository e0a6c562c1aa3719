#include "AudioOutputFake.h"

namespace tintra {

void AudioOutputFake::Player::play()
{
    playing = true;
    ++playCount;
    starts.push_back({ volume, pan, numberOfLoops, currentTime });
}

void AudioOutputFake::Player::stop()
{
    playing = false;
    ++stopCount;
}

tl::expected<std::unique_ptr<AudioPlayer>, AudioOpenError> AudioOutputFake::open(const std::filesystem::path& url)
{
    ++openCount_;
    if (auto found = failures_.find(url); found != failures_.end())
        return tl::unexpected(found->second);
    // The voice owns the holder; the fake keeps the record of the player,
    // marked released when the voice lets it go.
    auto player = std::make_shared<Player>();
    player->url = url;
    players_.push_back(player);
    struct Holder final : public AudioPlayer {
        std::shared_ptr<Player> player;
        ~Holder() override { player->released = true; }
        void prepareToPlay() override { player->prepareToPlay(); }
        void play() override { player->play(); }
        void stop() override { player->stop(); }
        bool isPlaying() const override { return player->isPlaying(); }
        void setVolume(float value) override { player->setVolume(value); }
        void setPan(float value) override { player->setPan(value); }
        void setNumberOfLoops(int loops) override { player->setNumberOfLoops(loops); }
        void setCurrentTime(double seconds) override { player->setCurrentTime(seconds); }
    };
    auto holder = std::make_unique<Holder>();
    holder->player = std::move(player);
    return holder;
}

std::vector<AudioOutputFake::Player*> AudioOutputFake::playersOf(const std::filesystem::path& url, bool everyPlayer) const
{
    std::vector<Player*> found;
    for (const auto& player : players_) {
        if (player->url == url && (everyPlayer || !player->released))
            found.push_back(player.get());
    }
    return found;
}

} // namespace tintra
