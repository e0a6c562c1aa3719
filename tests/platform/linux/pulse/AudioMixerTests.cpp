#include "platform/linux/pulse/AudioMixer.h"

#include "platform/linux/TestSoundFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <unistd.h>

namespace tintra {
namespace {

constexpr int rate = 48000;

class AudioMixerTest : public ::testing::Test {
protected:
    AudioMixerTest()
    {
        folder = std::filesystem::temp_directory_path() / ("tintra-mixer-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    ~AudioMixerTest() override { std::filesystem::remove_all(folder); }

    std::filesystem::path sound(const std::string& name, const std::vector<float>& samples, int channels, int fileRate = rate)
    {
        const auto url = folder / name;
        writeTestSoundFile(url, samples, channels, fileRate);
        return url;
    }
    std::unique_ptr<AudioPlayer> open(const std::filesystem::path& url)
    {
        auto player = mixer.open(url);
        EXPECT_TRUE(player.has_value()) << (player ? "" : player.error().description());
        return player ? std::move(*player) : nullptr;
    }
    std::vector<float> render(std::size_t frames)
    {
        std::vector<float> out(frames * 2, 99.0f);
        mixer.render(out.data(), frames);
        return out;
    }

    std::filesystem::path folder;
    AudioMixer mixer { rate };
};

TEST_F(AudioMixerTest, MonoAtPanMinusOneIsLeftOnlyAtFullGain)
{
    const auto samples = rampSamples(100, 1);
    auto player = open(sound("mono.wav", samples, 1));
    player->setPan(-1);
    player->play();
    const auto out = render(120);
    for (std::size_t i = 0; i < 100; ++i) {
        ASSERT_EQ(out[i * 2], samples[i]) << i;
        ASSERT_EQ(out[i * 2 + 1], 0.0f) << i;
    }
    for (std::size_t i = 200; i < 240; ++i)
        ASSERT_EQ(out[i], 0.0f);
    EXPECT_FALSE(player->isPlaying());
}

TEST_F(AudioMixerTest, MonoPansWithEqualPowerAndStereoWithBalance)
{
    auto mono = open(sound("mono.wav", std::vector<float>(10, 0.5f), 1));
    mono->setPan(0);
    mono->play();
    auto out = render(1);
    EXPECT_FLOAT_EQ(out[0], 0.5f * float(std::numbers::sqrt2 / 2));
    EXPECT_FLOAT_EQ(out[0] * out[0] + out[1] * out[1], 0.25f);
    mono->stop();

    auto stereo = open(sound("stereo.wav", { 0.5f, 0.5f, 0.5f, 0.5f }, 2));
    stereo->setPan(0.5);
    stereo->play();
    out = render(1);
    EXPECT_EQ(out[0], 0.25f);
    EXPECT_EQ(out[1], 0.5f);
}

TEST_F(AudioMixerTest, VolumeScalesEverySample)
{
    const auto samples = rampSamples(64, 2);
    auto player = open(sound("stereo.wav", samples, 2));
    player->setVolume(0.4f);
    player->play();
    const auto out = render(64);
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(out[i], samples[i] * 0.4f) << i;
}

TEST_F(AudioMixerTest, RewindingAPlayingPlayerRestartsItBesideTheOthers)
{
    // Three players of one sound started 100 frames apart; the fourth start
    // rewinds the first while the other two play on.
    const auto samples = rampSamples(1000, 2);
    const auto url = sound("stereo.wav", samples, 2);
    std::vector<std::unique_ptr<AudioPlayer>> players;
    for (int i = 0; i < 3; ++i) {
        players.push_back(open(url));
        players.back()->play();
        render(100);
    }
    players[0]->setCurrentTime(0);
    players[0]->play();
    const auto out = render(1);
    for (int channel = 0; channel < 2; ++channel) {
        const float expected = ((0.0f + samples[0 * 2 + channel]) + samples[200 * 2 + channel]) + samples[100 * 2 + channel];
        EXPECT_EQ(out[channel], expected);
    }
}

TEST_F(AudioMixerTest, EndlessLoopWrapsWithoutAGapAcrossBuffers)
{
    const auto samples = rampSamples(37, 1);
    auto player = open(sound("mono.wav", samples, 1));
    player->setPan(-1);
    player->setNumberOfLoops(-1);
    player->play();
    std::size_t frame = 0;
    for (std::size_t chunk : { 5, 64, 13, 37, 1, 100 }) {
        const auto out = render(chunk);
        for (std::size_t i = 0; i < chunk; ++i, ++frame)
            ASSERT_EQ(out[i * 2], samples[frame % 37]) << frame;
    }
    EXPECT_TRUE(player->isPlaying());
}

TEST_F(AudioMixerTest, CountedLoopsPlayThatManyMoreTimesThenStop)
{
    const auto samples = rampSamples(10, 1);
    auto player = open(sound("mono.wav", samples, 1));
    player->setPan(-1);
    player->setNumberOfLoops(2);
    player->play();
    const auto out = render(40);
    for (std::size_t i = 0; i < 30; ++i)
        ASSERT_EQ(out[i * 2], samples[i % 10]) << i;
    for (std::size_t i = 30; i < 40; ++i)
        ASSERT_EQ(out[i * 2], 0.0f) << i;
    EXPECT_FALSE(player->isPlaying());
}

TEST_F(AudioMixerTest, PlayerStopsPlayingExactlyWhenItsSoundRunsOut)
{
    auto player = open(sound("mono.wav", rampSamples(50, 1), 1));
    player->play();
    render(49);
    EXPECT_TRUE(player->isPlaying());
    render(1);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(mixer.isActive());
}

TEST_F(AudioMixerTest, StoppedAndRewoundPlayerStartsFromTheBeginning)
{
    const auto samples = rampSamples(100, 1);
    auto player = open(sound("mono.wav", samples, 1));
    player->setPan(-1);
    player->play();
    render(30);
    player->stop();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(render(1)[0], 0.0f);
    player->setCurrentTime(0);
    player->play();
    EXPECT_EQ(render(1)[0], samples[0]);
    player->stop();
    player->setCurrentTime(50.0 / rate);
    player->play();
    EXPECT_EQ(render(1)[0], samples[50]);
}

TEST_F(AudioMixerTest, OtherRatesAreConvertedToTheOutputRate)
{
    std::vector<float> tone(24000);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.5f * float(std::sin(2 * std::numbers::pi * 1000.0 * double(i) / 24000.0));
    auto player = open(sound("slow.wav", tone, 1, 24000));
    player->setPan(-1);
    player->play();
    const auto out = render(rate + 100);
    // One second of sound, still a 1 kHz tone: 48 samples per period.
    float peak = 0;
    for (std::size_t i = 1000; i < 47000; ++i)
        peak = std::max(peak, std::abs(out[i * 2]));
    EXPECT_NEAR(peak, 0.5f, 0.01f);
    EXPECT_NEAR(out[(1000 + 12) * 2], out[(1000 + 12 + 48) * 2], 0.01f);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(out[(rate + 50) * 2], 0.0f);
}

TEST_F(AudioMixerTest, OpeningFailsWithAReadableError)
{
    auto missing = mixer.open(folder / "gone.aiff");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, AudioOpenError::Case::unreadable);
    EXPECT_EQ(missing.error().description(), "No such file or directory.");

    std::ofstream(folder / "notes.aiff") << "not a sound at all, just some words";
    auto text = mixer.open(folder / "notes.aiff");
    ASSERT_FALSE(text);
    EXPECT_EQ(text.error().kind, AudioOpenError::Case::unsupportedFormat);
    EXPECT_FALSE(text.error().description().empty());

    auto empty = mixer.open(sound("empty.wav", {}, 1));
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.error().kind, AudioOpenError::Case::empty);
}

TEST_F(AudioMixerTest, WithoutAnOutputNothingStarts)
{
    auto player = open(sound("mono.wav", rampSamples(100, 1), 1));
    player->play();
    mixer.setOutputAvailable(false);
    EXPECT_FALSE(player->isPlaying());
    player->play();
    EXPECT_FALSE(player->isPlaying());
    mixer.setOutputAvailable(true);
    player->play();
    EXPECT_TRUE(player->isPlaying());
}

} // namespace
} // namespace tintra
