#pragma once

#include "platform/linux/pulse/AudioMixer.h"
#include "playback/AudioOutput.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

struct pa_context;
struct pa_io_event;
struct pa_mainloop_api;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

namespace tintra {

// The audio players mixed into one PulseAudio playback stream (PipeWire
// serves the same API), with media.role "event".
//
// The stream is made once and kept open and running, so the sound device is
// never suspended under us and a sound after minutes of silence starts as
// fast as any other. While nothing plays, the stream holds a long run of
// silence (one wake-up every couple of seconds); a start rewrites that queued
// silence from the server's read position, so it never waits behind it.
//
// The engine runs on libpulse's own thread and never calls back into the
// core; the main thread only touches the mixer and wakes that thread through
// an eventfd. Without a server, players do not start (`isPlaying` stays
// false), one diagnostic line is written, and the engine reconnects by
// itself, trying every second.
class AudioOutputPulse final : public AudioOutput {
public:
    static constexpr int outputRate = 48000;

    AudioOutputPulse();
    ~AudioOutputPulse() override;
    AudioOutputPulse(const AudioOutputPulse&) = delete;
    AudioOutputPulse& operator=(const AudioOutputPulse&) = delete;

    tl::expected<std::unique_ptr<AudioPlayer>, AudioOpenError> open(const std::filesystem::path& url) override;

    // Whether the stream is up and playing; any thread.
    bool isConnected() const { return connected_.load(); }

private:
    void connect();
    void scheduleReconnect();
    void createStream();
    // Reports the loss once, lets go of the server and tries again later.
    void startOver();
    void dropStream();
    void dropContext();
    void noteLost(const char* what);
    void wake();
    void fill(std::size_t requestedBytes);
    void rewriteFromReadPosition();
    void writeMix(std::size_t frames);
    void writeSilenceLead();

    friend struct PulseCallbacks;

    AudioMixer mixer_ { outputRate };
    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_mainloop_api* api_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_io_event* wakeEvent_ = nullptr;
    pa_time_event* reconnectTimer_ = nullptr;
    int wakeFd_ = -1;

    // Engine thread only.
    std::vector<float> renderBuffer_;
    std::vector<float> silence_;
    bool silenceQueued_ = false;
    std::size_t quietFramesWritten_ = 0;
    bool lossReported_ = false;

    std::atomic<bool> connected_ { false };
};

} // namespace tintra
