#include "platform/linux/pulse/AudioOutputPulse.h"

#include "PrivatePulseServer.h"
#include "platform/linux/TestSoundFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <thread>

namespace tintra {
namespace {

using namespace std::chrono_literals;

// A 1 kHz tone of 0.3 s at amplitude 0.5, mono.
std::vector<float> tone()
{
    std::vector<float> samples(14400);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * float(std::sin(2 * std::numbers::pi * 1000.0 * double(i) / 48000.0));
    return samples;
}

bool waitFor(const AudioOutputPulse& output, bool connected, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (output.isConnected() != connected) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    // A null sink renders up to two seconds of silence ahead while it has no
    // stream; a new stream is heard once that has passed.
    if (connected)
        std::this_thread::sleep_for(2500ms);
    return true;
}

struct Levels {
    double left = 0;
    double right = 0;
    std::size_t loudFrames = 0;
};

// Root-mean-square level of each channel over the frames where the signal is.
Levels levels(const std::vector<SinkRecorder::Chunk>& chunks)
{
    Levels result;
    for (const auto& chunk : chunks) {
        for (std::size_t i = 0; i + 1 < chunk.samples.size(); i += 2) {
            const double l = chunk.samples[i], r = chunk.samples[i + 1];
            if (std::abs(l) + std::abs(r) < 1e-4)
                continue;
            result.left += l * l;
            result.right += r * r;
            ++result.loudFrames;
        }
    }
    if (result.loudFrames > 0) {
        result.left = std::sqrt(result.left / double(result.loudFrames));
        result.right = std::sqrt(result.right / double(result.loudFrames));
    }
    return result;
}

class AudioOutputPulseDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (server.skipReason)
            GTEST_SKIP() << "no private PulseAudio server: " << *server.skipReason;
        url = std::filesystem::path(std::getenv("XDG_RUNTIME_DIR")) / "tone.wav";
        writeTestSoundFile(url, tone(), 1, 48000);
    }

    Levels playAndRecord(AudioPlayer& player, float pan)
    {
        SinkRecorder recorder;
        EXPECT_TRUE(recorder.isOpen());
        player.setPan(pan);
        player.setCurrentTime(0);
        player.play();
        EXPECT_TRUE(player.isPlaying());
        const auto chunks = recorder.record(1500ms, [](const SinkRecorder::Chunk&) { return false; });
        EXPECT_FALSE(player.isPlaying());
        return levels(chunks);
    }

    PrivatePulseServer server;
    std::filesystem::path url;
};

TEST_F(AudioOutputPulseDesktop, ToneReachesTheSinkAtItsPan)
{
    AudioOutputPulse output;
    ASSERT_TRUE(waitFor(output, true, 5s));
    auto player = output.open(url);
    ASSERT_TRUE(player);

    const Levels left = playAndRecord(**player, -1);
    // 0.3 s of tone, give or take the edges.
    EXPECT_NEAR(double(left.loudFrames), 14400.0, 1500.0);
    EXPECT_NEAR(left.left, 0.5 / std::numbers::sqrt2, 0.02);
    EXPECT_LT(left.right, 0.001);

    const Levels right = playAndRecord(**player, 0.5f);
    const double angle = 1.5 * std::numbers::pi / 4;
    EXPECT_NEAR(right.right / right.left, std::sin(angle) / std::cos(angle), 0.1);
}

TEST_F(AudioOutputPulseDesktop, ServerRestartFailsQuietlyAndReconnects)
{
    AudioOutputPulse output;
    ASSERT_TRUE(waitFor(output, true, 5s));
    auto player = output.open(url);
    ASSERT_TRUE(player);

    server.stop();
    ASSERT_TRUE(waitFor(output, false, 5s));
    (*player)->play();
    EXPECT_FALSE((*player)->isPlaying());

    ASSERT_TRUE(server.start());
    ASSERT_TRUE(waitFor(output, true, 5s));
    const Levels centre = playAndRecord(**player, 0);
    EXPECT_GT(centre.loudFrames, 10000u);
    EXPECT_NEAR(centre.left, centre.right, 0.01);
}

} // namespace
} // namespace tintra
