#include "platform/linux/pulse/AudioMixer.h"
#include "platform/linux/pulse/AudioOutputPulse.h"

#include "desktop/PrivatePulseServer.h"
#include "platform/linux/TestSoundFile.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <numbers>
#include <thread>

namespace tintra {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::filesystem::path writeTone(const std::filesystem::path& folder, double seconds)
{
    std::vector<float> samples(std::size_t(48000 * seconds));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * float(std::sin(2 * std::numbers::pi * 440.0 * double(i) / 48000.0));
    const auto url = folder / "tone.wav";
    writeTestSoundFile(url, samples, 1, 48000);
    return url;
}

// The mix of 16 looping voices, one 10 ms buffer per iteration; the counter
// "realtime_fraction" is render time over the audio's own duration.
void BM_RenderSixteenVoices(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path();
    const auto url = writeTone(folder, 1.0);
    AudioMixer mixer(48000);
    std::vector<std::unique_ptr<AudioPlayer>> players;
    for (int i = 0; i < 16; ++i) {
        players.push_back(std::move(*mixer.open(url)));
        players.back()->setNumberOfLoops(-1);
        players.back()->setPan(float(i) / 8 - 1);
        players.back()->setCurrentTime(i * 0.05);
        players.back()->play();
    }
    std::vector<float> buffer(480 * 2);
    for (auto _ : state) {
        mixer.render(buffer.data(), 480);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["realtime_fraction"] = benchmark::Counter(double(state.iterations()) * 0.01, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove(url);
}
BENCHMARK(BM_RenderSixteenVoices);

// Reads the null sink's monitor on its own thread and notes when sound
// (any sample above 1e-3) was captured.
class OnsetWatcher {
public:
    OnsetWatcher()
        : thread_([this] { run(); })
    {
    }
    ~OnsetWatcher()
    {
        stop_ = true;
        thread_.join();
    }

    std::optional<Clock::time_point> firstSoundAfter(Clock::time_point start, std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            {
                std::lock_guard lock(mutex_);
                for (auto at : onsets_)
                    if (at >= start)
                        return at;
            }
            std::this_thread::sleep_for(200us);
        }
        return std::nullopt;
    }

private:
    void run()
    {
        SinkRecorder recorder;
        if (!recorder.isOpen())
            return;
        while (!stop_) {
            const auto chunks = recorder.record(5ms, [](const SinkRecorder::Chunk&) { return true; });
            for (const auto& chunk : chunks) {
                if (const auto onset = SinkRecorder::firstSound(chunk)) {
                    std::lock_guard lock(mutex_);
                    onsets_.push_back(*onset);
                }
            }
        }
    }

    std::atomic<bool> stop_ { false };
    std::mutex mutex_;
    std::vector<Clock::time_point> onsets_;
    std::thread thread_;
};

double milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Against a private null sink: play → first sound in the sink's monitor over
// 60 plays of a warm stream (median, p95), the first play after 30 s of
// silence, and the process's CPU time per minute while idle (measured over
// those 30 s, with no recorder running). Runs once; about 45 s.
void BM_PlayToSink(benchmark::State& state)
{
    PrivatePulseServer server;
    if (server.skipReason) {
        state.SkipWithError(server.skipReason->c_str());
        return;
    }
    const auto url = writeTone(std::getenv("XDG_RUNTIME_DIR"), 0.02);
    for (auto _ : state) {
        AudioOutputPulse output;
        while (!output.isConnected())
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(2500ms); // the null sink's render-ahead of a new stream
        auto player = std::move(*output.open(url));

        auto playOnce = [&](OnsetWatcher& watcher) {
            const auto start = Clock::now();
            player->setCurrentTime(0);
            player->play();
            const auto heard = watcher.firstSoundAfter(start, 2000ms);
            return heard ? milliseconds(*heard - start) : -1.0;
        };

        std::vector<double> latencies;
        {
            OnsetWatcher watcher;
            std::this_thread::sleep_for(300ms);
            for (int i = 0; i < 60; ++i) {
                latencies.push_back(playOnce(watcher));
                std::this_thread::sleep_for(150ms);
            }
        }
        std::sort(latencies.begin(), latencies.end());
        state.counters["median_ms"] = latencies[latencies.size() / 2];
        state.counters["p95_ms"] = latencies[latencies.size() * 95 / 100];
        state.counters["failed_plays"] = double(std::count(latencies.begin(), latencies.end(), -1.0));

        const double before = cpuSeconds();
        std::this_thread::sleep_for(30s);
        state.counters["idle_cpu_ms_per_min"] = (cpuSeconds() - before) * 2 * 1000;
        OnsetWatcher watcher;
        std::this_thread::sleep_for(300ms);
        state.counters["after_idle_ms"] = playOnce(watcher);
    }
}
BENCHMARK(BM_PlayToSink)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace tintra
