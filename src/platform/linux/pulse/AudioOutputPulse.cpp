#include "platform/linux/pulse/AudioOutputPulse.h"

#include <fmt/format.h>
#include <pulse/pulseaudio.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace tintra {
namespace {

constexpr std::size_t frameBytes = 2 * sizeof(float);
constexpr std::size_t framesPerMillisecond = AudioOutputPulse::outputRate / 1000;
// About 10 ms queued while sounds play; requests come every 2.5 ms.
constexpr std::size_t targetFrames = 10 * framesPerMillisecond;
constexpr std::size_t requestFrames = targetFrames / 4;
// After the last sound ends, small writes go on this long so that its tail
// has surely been played before the long silence, which a start may
// overwrite, is queued behind it.
constexpr std::size_t tailFrames = 100 * framesPerMillisecond;
// Queued while idle: the engine then wakes about once per this length.
constexpr std::size_t silenceLeadFrames = 2000 * framesPerMillisecond;
constexpr std::size_t renderChunkFrames = 4096;

pa_buffer_attr bufferAttributes(std::size_t target, std::size_t request)
{
    pa_buffer_attr attributes {};
    attributes.maxlength = std::uint32_t(-1);
    attributes.tlength = std::uint32_t(target * frameBytes);
    attributes.prebuf = 0;
    attributes.minreq = std::uint32_t(request * frameBytes);
    attributes.fragsize = std::uint32_t(-1);
    return attributes;
}

void changeBufferAttributes(pa_stream* stream, std::size_t target, std::size_t request)
{
    const pa_buffer_attr attributes = bufferAttributes(target, request);
    if (pa_operation* operation = pa_stream_set_buffer_attr(stream, &attributes, nullptr, nullptr))
        pa_operation_unref(operation);
}

const char* const applicationName = "Tintra Dorvel";
const char* const applicationID = TINTRA_MAKER_PREFIX ".TintraDorvel";

} // namespace

// libpulse's C callbacks, each handing over to the engine it was given.
struct PulseCallbacks {
    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    static void onWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void onWake(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self);
    static void onReconnectTime(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self);
};

AudioOutputPulse::AudioOutputPulse()
    : renderBuffer_(renderChunkFrames * 2)
    , silence_(silenceLeadFrames * 2, 0.0f)
{
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    mixer_.setStartListener([this] { wake(); });
    mainloop_ = pa_threaded_mainloop_new();
    api_ = pa_threaded_mainloop_get_api(mainloop_);
    pa_threaded_mainloop_set_name(mainloop_, "tintra-audio");
    pa_threaded_mainloop_lock(mainloop_);
    wakeEvent_ = api_->io_new(api_, wakeFd_, PA_IO_EVENT_INPUT, &PulseCallbacks::onWake, this);
    connect();
    pa_threaded_mainloop_unlock(mainloop_);
    pa_threaded_mainloop_start(mainloop_);
}

AudioOutputPulse::~AudioOutputPulse()
{
    pa_threaded_mainloop_lock(mainloop_);
    dropStream();
    dropContext();
    if (reconnectTimer_)
        api_->time_free(reconnectTimer_);
    api_->io_free(wakeEvent_);
    pa_threaded_mainloop_unlock(mainloop_);
    pa_threaded_mainloop_stop(mainloop_);
    pa_threaded_mainloop_free(mainloop_);
    close(wakeFd_);
}

tl::expected<std::unique_ptr<AudioPlayer>, AudioOpenError> AudioOutputPulse::open(const std::filesystem::path& url)
{
    return mixer_.open(url);
}

void AudioOutputPulse::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
}

void AudioOutputPulse::connect()
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, applicationName);
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, applicationID);
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "event");
    context_ = pa_context_new_with_proplist(api_, applicationName, properties);
    pa_proplist_free(properties);
    pa_context_set_state_callback(context_, &PulseCallbacks::onContextState, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        startOver();
}

void AudioOutputPulse::scheduleReconnect()
{
    if (reconnectTimer_)
        return;
    timeval when {};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, 1000000);
    reconnectTimer_ = api_->time_new(api_, &when, &PulseCallbacks::onReconnectTime, this);
}

void PulseCallbacks::onReconnectTime(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self)
{
    auto& output = *static_cast<AudioOutputPulse*>(self);
    api->time_free(event);
    output.reconnectTimer_ = nullptr;
    output.connect();
}

void AudioOutputPulse::noteLost(const char* what)
{
    connected_.store(false);
    mixer_.setOutputAvailable(false);
    if (lossReported_)
        return;
    lossReported_ = true;
    std::fputs(fmt::format("AudioOutputPulse: no sound output: {}\n", what).c_str(), stdout);
    std::fflush(stdout);
}

void PulseCallbacks::onContextState(pa_context* context, void* self)
{
    auto& output = *static_cast<AudioOutputPulse*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        output.createStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        output.startOver();
        break;
    default:
        break;
    }
}

void AudioOutputPulse::createStream()
{
    const pa_sample_spec format { PA_SAMPLE_FLOAT32LE, outputRate, 2 };
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "event");
    pa_proplist_sets(properties, PA_PROP_MEDIA_NAME, "Interface sounds");
    stream_ = pa_stream_new_with_proplist(context_, "Interface sounds", &format, nullptr, properties);
    pa_proplist_free(properties);
    if (!stream_) {
        noteLost(pa_strerror(pa_context_errno(context_)));
        return;
    }
    pa_stream_set_state_callback(stream_, &PulseCallbacks::onStreamState, this);
    pa_stream_set_write_callback(stream_, &PulseCallbacks::onWritable, this);

    // The server's defaults pre-buffer about a second, so a short sound
    // would never start; no pre-buffer also keeps the stream running
    // through an underrun instead of stopping it.
    const pa_buffer_attr attributes = bufferAttributes(targetFrames, requestFrames);
    silenceQueued_ = false;
    quietFramesWritten_ = 0;
    if (pa_stream_connect_playback(stream_, nullptr, &attributes, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
        noteLost(pa_strerror(pa_context_errno(context_)));
        dropStream();
    }
}

void PulseCallbacks::onStreamState(pa_stream* stream, void* self)
{
    auto& output = *static_cast<AudioOutputPulse*>(self);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        output.lossReported_ = false;
        output.mixer_.setOutputAvailable(true);
        output.connected_.store(true);
        // Without a pre-buffer the server waits for an explicit start.
        pa_operation_unref(pa_stream_cork(stream, 0, nullptr, nullptr));
        break;
    case PA_STREAM_FAILED:
        // The context's own state says whether the server went away; if it
        // did not, try the stream again after a pause.
        if (pa_context_get_state(output.context_) == PA_CONTEXT_READY)
            output.startOver();
        break;
    default:
        break;
    }
}

void AudioOutputPulse::startOver()
{
    noteLost(pa_strerror(pa_context_errno(context_)));
    dropStream();
    dropContext();
    scheduleReconnect();
}

void AudioOutputPulse::dropStream()
{
    if (!stream_)
        return;
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
}

void AudioOutputPulse::dropContext()
{
    if (!context_)
        return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

void PulseCallbacks::onWritable(pa_stream*, std::size_t bytes, void* self)
{
    static_cast<AudioOutputPulse*>(self)->fill(bytes);
}

void PulseCallbacks::onWake(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self)
{
    std::uint64_t count = 0;
    [[maybe_unused]] const auto got = read(fd, &count, sizeof count);
    auto& output = *static_cast<AudioOutputPulse*>(self);
    if (output.stream_ && output.silenceQueued_ && pa_stream_get_state(output.stream_) == PA_STREAM_READY
        && output.mixer_.isActive())
        output.rewriteFromReadPosition();
}

void AudioOutputPulse::fill(std::size_t requestedBytes)
{
    if (mixer_.isActive()) {
        if (silenceQueued_)
            rewriteFromReadPosition();
        else
            writeMix(requestedBytes / frameBytes);
        return;
    }
    if (quietFramesWritten_ < tailFrames) {
        const std::size_t frames = requestedBytes / frameBytes;
        writeMix(frames);
        quietFramesWritten_ += frames;
        return;
    }
    writeSilenceLead();
}

void AudioOutputPulse::rewriteFromReadPosition()
{
    changeBufferAttributes(stream_, targetFrames, requestFrames);
    mixer_.render(renderBuffer_.data(), targetFrames);
    pa_stream_write(stream_, renderBuffer_.data(), targetFrames * frameBytes, nullptr, 0, PA_SEEK_RELATIVE_ON_READ);
    silenceQueued_ = false;
    quietFramesWritten_ = 0;
}

void AudioOutputPulse::writeMix(std::size_t frames)
{
    while (frames > 0) {
        const std::size_t chunk = std::min(frames, renderChunkFrames);
        if (mixer_.render(renderBuffer_.data(), chunk))
            quietFramesWritten_ = 0;
        pa_stream_write(stream_, renderBuffer_.data(), chunk * frameBytes, nullptr, 0, PA_SEEK_RELATIVE);
        frames -= chunk;
    }
}

void AudioOutputPulse::writeSilenceLead()
{
    pa_stream_write(stream_, silence_.data(), silence_.size() * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE);
    silenceQueued_ = true;
    // The server asks for data every request length, so a small one keeps
    // waking this thread hundreds of times a second through silence.
    changeBufferAttributes(stream_, silenceLeadFrames, silenceLeadFrames / 2);
}

} // namespace tintra
