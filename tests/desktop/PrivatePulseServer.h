#pragma once

#include <pulse/simple.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tintra {

// A PulseAudio server of the test's own: a 48 kHz null sink named
// "tintra_null" (suspended by module-suspend-on-idle after 1 s without a
// stream, as desktops do), in a private runtime folder that this process's
// environment points libpulse to. `skipReason` says why it could not start.
class PrivatePulseServer {
public:
    PrivatePulseServer()
    {
        if (std::system("command -v pulseaudio >/dev/null 2>&1") != 0) {
            skipReason = "pulseaudio is not installed (scripts/install-deps installs it)";
            return;
        }
        char pattern[] = "/tmp/tintra-pulse-XXXXXX";
        if (!mkdtemp(pattern)) {
            skipReason = "no temporary folder";
            return;
        }
        folder_ = pattern;
        std::filesystem::create_directories(folder_ / "run");
        setenv("PULSE_RUNTIME_PATH", (folder_ / "run").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
        setenv("PULSE_STATE_PATH", (folder_ / "state").c_str(), 1);
        setenv("HOME", folder_.c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + (folder_ / "run" / "native").string()).c_str(), 1);
        start();
    }

    ~PrivatePulseServer()
    {
        stop();
        if (!folder_.empty())
            std::filesystem::remove_all(folder_);
    }

    bool start()
    {
        pid_ = fork();
        if (pid_ == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execlp("pulseaudio", "pulseaudio", "--daemonize=no", "-n", "--use-pid-file=no", "--exit-idle-time=-1",
                "--disallow-exit", "--system=false", "--load=module-null-sink sink_name=tintra_null rate=48000",
                "--load=module-native-protocol-unix", "--load=module-suspend-on-idle timeout=1", nullptr);
            _exit(127);
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (canConnect())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        skipReason = "the private pulseaudio server did not start";
        return false;
    }

    void stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    std::optional<std::string> skipReason;

private:
    static bool canConnect()
    {
        const pa_sample_spec format { PA_SAMPLE_FLOAT32LE, 48000, 2 };
        pa_simple* probe = pa_simple_new(nullptr, "probe", PA_STREAM_RECORD, "tintra_null.monitor", "probe", &format, nullptr, nullptr, nullptr);
        if (!probe)
            return false;
        pa_simple_free(probe);
        return true;
    }

    std::filesystem::path folder_;
    pid_t pid_ = -1;
};

// Records the null sink's monitor on its own thread, in 1 ms reads, noting
// the steady-clock time at which each read returned. Closed once a read fails,
// as when the server goes away.
class SinkRecorder {
public:
    struct Chunk {
        std::chrono::steady_clock::time_point arrived;
        std::vector<float> samples; // interleaved stereo
    };

    SinkRecorder()
    {
        const pa_sample_spec format { PA_SAMPLE_FLOAT32LE, 48000, 2 };
        pa_buffer_attr attributes {};
        attributes.maxlength = std::uint32_t(-1);
        attributes.fragsize = 48 * 2 * sizeof(float);
        stream_ = pa_simple_new(nullptr, "tintra-recorder", PA_STREAM_RECORD, "tintra_null.monitor", "monitor", &format, nullptr, &attributes, nullptr);
    }
    ~SinkRecorder()
    {
        if (stream_)
            pa_simple_free(stream_);
    }

    bool isOpen() const { return stream_ != nullptr; }

    // When the chunk's first sample above silence was captured, if it has one.
    static std::optional<std::chrono::steady_clock::time_point> firstSound(const Chunk& chunk)
    {
        const std::size_t frames = chunk.samples.size() / 2;
        for (std::size_t frame = 0; frame < frames; ++frame) {
            if (std::abs(chunk.samples[frame * 2]) + std::abs(chunk.samples[frame * 2 + 1]) > 1e-3f)
                return chunk.arrived - std::chrono::microseconds((frames - frame) * 1000000 / 48000);
        }
        return std::nullopt;
    }

    // Reads until `until` returns true for the newest chunk or `limit` passes.
    template <typename Until>
    std::vector<Chunk> record(std::chrono::milliseconds limit, Until until)
    {
        std::vector<Chunk> chunks;
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            Chunk chunk { {}, std::vector<float>(48 * 2) };
            if (pa_simple_read(stream_, chunk.samples.data(), chunk.samples.size() * sizeof(float), nullptr) < 0) {
                pa_simple_free(stream_);
                stream_ = nullptr;
                break;
            }
            chunk.arrived = std::chrono::steady_clock::now();
            chunks.push_back(std::move(chunk));
            if (until(chunks.back()))
                break;
        }
        return chunks;
    }

private:
    pa_simple* stream_ = nullptr;
};

} // namespace tintra
