#include "platform/linux/pulse/AudioFactsPulse.h"

#include <pulse/glib-mainloop.h>
#include <pulse/pulseaudio.h>

#include <iostream>

namespace tintra {

namespace {

constexpr AudioDeviceID kSourceBit = 0x80000000u;

AudioDeviceID sinkDevice(std::uint32_t index) { return index + 1; }
AudioDeviceID sourceDevice(std::uint32_t index) { return (index + 1) | kSourceBit; }
bool isSourceDevice(AudioDeviceID device) { return (device & kSourceBit) != 0; }
std::uint32_t indexOf(AudioDeviceID device) { return (device & ~kSourceBit) - 1; }

float scalar(const pa_cvolume& volume)
{
    const auto loudest = pa_cvolume_max(&volume);
    return loudest >= PA_VOLUME_NORM ? 1.0f : float(loudest) / float(PA_VOLUME_NORM);
}

void forget(pa_operation* operation)
{
    if (operation)
        pa_operation_unref(operation);
}

} // namespace

struct AudioFactsPulse::Callbacks {
    static AudioFactsPulse& facts(void* self) { return *static_cast<AudioFactsPulse*>(self); }

    static void state(pa_context* context, void* self)
    {
        auto& f = facts(self);
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            f.requestAll();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            f.lost(pa_strerror(pa_context_errno(context)));
            break;
        default:
            break;
        }
    }

    static void event(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index, void* self)
    {
        auto& f = facts(self);
        const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE) {
            switch (facility) {
            case PA_SUBSCRIPTION_EVENT_SINK: f.sinks_.erase(index); break;
            case PA_SUBSCRIPTION_EVENT_SINK_INPUT: f.sinkInputs_.erase(index); break;
            case PA_SUBSCRIPTION_EVENT_SOURCE: f.sources_.erase(index); break;
            case PA_SUBSCRIPTION_EVENT_SOURCE_OUTPUT: f.sourceOutputs_.erase(index); break;
            default: break;
            }
            return;
        }
        switch (facility) {
        case PA_SUBSCRIPTION_EVENT_SINK: forget(pa_context_get_sink_info_by_index(context, index, &sink<false>, self)); break;
        case PA_SUBSCRIPTION_EVENT_SINK_INPUT: forget(pa_context_get_sink_input_info(context, index, &sinkInput<false>, self)); break;
        case PA_SUBSCRIPTION_EVENT_SOURCE: forget(pa_context_get_source_info_by_index(context, index, &source<false>, self)); break;
        case PA_SUBSCRIPTION_EVENT_SOURCE_OUTPUT: forget(pa_context_get_source_output_info(context, index, &sourceOutput<false>, self)); break;
        case PA_SUBSCRIPTION_EVENT_SERVER: f.requestServer(); break;
        default: break;
        }
    }

    // Each list of the first picture counts once, at its end.
    static bool ended(AudioFactsPulse& f, int eol, bool initial)
    {
        if (eol != 0 && initial)
            f.finishInitialRequest();
        return eol != 0;
    }

    static void server(pa_context*, const pa_server_info* info, void* self)
    {
        auto& f = facts(self);
        if (info)
            f.defaultSinkName_ = info->default_sink_name ? info->default_sink_name : "";
        if (f.initialServerRequest_) {
            f.initialServerRequest_ = false;
            f.finishInitialRequest();
        }
    }

    template <bool initial>
    static void sink(pa_context*, const pa_sink_info* info, int eol, void* self)
    {
        auto& f = facts(self);
        if (ended(f, eol, initial))
            return;
        f.sinks_[info->index] = Sink { info->name ? info->name : "", info->mute != 0, scalar(info->volume) };
    }

    template <bool initial>
    static void sinkInput(pa_context*, const pa_sink_input_info* info, int eol, void* self)
    {
        auto& f = facts(self);
        if (ended(f, eol, initial))
            return;
        const bool silent = info->mute != 0 || info->corked != 0 || (info->has_volume && pa_cvolume_max(&info->volume) == PA_VOLUME_MUTED);
        f.sinkInputs_[info->index] = SinkInput { info->sink, f.isOwn(info->proplist), silent };
    }

    template <bool initial>
    static void source(pa_context*, const pa_source_info* info, int eol, void* self)
    {
        auto& f = facts(self);
        if (ended(f, eol, initial))
            return;
        f.sources_[info->index] = Source { info->monitor_of_sink != PA_INVALID_INDEX };
    }

    template <bool initial>
    static void sourceOutput(pa_context*, const pa_source_output_info* info, int eol, void* self)
    {
        auto& f = facts(self);
        if (ended(f, eol, initial))
            return;
        f.sourceOutputs_[info->index] = SourceOutput { info->source, f.isOwn(info->proplist) };
    }
};

AudioFactsPulse::AudioFactsPulse(MainExecutor& main, pid_t ownProcess)
    : main_(main)
    , ownProcess_(std::to_string(ownProcess))
    , mainloop_(pa_glib_mainloop_new(nullptr))
{
    connect();
}

AudioFactsPulse::~AudioFactsPulse()
{
    reconnect_.cancel();
    dropContext();
    pa_glib_mainloop_free(mainloop_);
}

void AudioFactsPulse::connect()
{
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Tintra Dorvel");
    context_ = pa_context_new_with_proplist(pa_glib_mainloop_get_api(mainloop_), "Tintra Dorvel silence facts", properties);
    pa_proplist_free(properties);
    pa_context_set_state_callback(context_, &Callbacks::state, this);
    pa_context_set_subscribe_callback(context_, &Callbacks::event, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 && !restarting_)
        lost(pa_strerror(pa_context_errno(context_)));
}

void AudioFactsPulse::dropContext()
{
    if (!context_)
        return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_set_subscribe_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

// Called from the context's own callback: the context is let go on the next
// loop iteration, and a new one tried two seconds later.
void AudioFactsPulse::lost(const char* what)
{
    if (restarting_)
        return;
    restarting_ = true;
    ready_ = false;
    initialRequests_ = 0;
    sinks_.clear();
    sinkInputs_.clear();
    sources_.clear();
    sourceOutputs_.clear();
    if (!lossReported_) {
        lossReported_ = true;
        std::cerr << "Tintra Dorvel: no PulseAudio server (" << what
                  << "): whether sound is held back or a microphone is in use is not known." << std::endl;
    }
    main_.post(self_.bind([](AudioFactsPulse& self) {
        self.dropContext();
        self.restarting_ = false;
        self.reconnect_ = self.main_.schedule(seconds(2), self.self_.bind([](AudioFactsPulse& again) { again.connect(); }));
    }));
}

void AudioFactsPulse::requestAll()
{
    const auto mask = pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SINK_INPUT
        | PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SOURCE_OUTPUT | PA_SUBSCRIPTION_MASK_SERVER);
    forget(pa_context_subscribe(context_, mask, nullptr, nullptr));
    initialRequests_ = 5;
    initialServerRequest_ = true;
    requestServer();
    forget(pa_context_get_sink_info_list(context_, &Callbacks::sink<true>, this));
    forget(pa_context_get_sink_input_info_list(context_, &Callbacks::sinkInput<true>, this));
    forget(pa_context_get_source_info_list(context_, &Callbacks::source<true>, this));
    forget(pa_context_get_source_output_info_list(context_, &Callbacks::sourceOutput<true>, this));
}

void AudioFactsPulse::requestServer()
{
    forget(pa_context_get_server_info(context_, &Callbacks::server, this));
}

void AudioFactsPulse::finishInitialRequest()
{
    if (initialRequests_ > 0 && --initialRequests_ == 0)
        ready_ = true;
}

bool AudioFactsPulse::isOwn(const pa_proplist* properties) const
{
    const char* process = properties ? pa_proplist_gets(properties, PA_PROP_APPLICATION_PROCESS_ID) : nullptr;
    return process && ownProcess_ == process;
}

tl::unexpected<SilenceFactError> AudioFactsPulse::unavailable(const char* operation) const
{
    return tl::unexpected(SilenceFactError { SilenceFactError::Case::serviceUnavailable, operation });
}

const AudioFactsPulse::Sink* AudioFactsPulse::sink(AudioDeviceID device) const
{
    if (device == 0 || isSourceDevice(device))
        return nullptr;
    const auto found = sinks_.find(indexOf(device));
    return found == sinks_.end() ? nullptr : &found->second;
}

SilenceFact<std::uint32_t> AudioFactsPulse::processIsAudible() const
{
    if (!ready_)
        return unavailable("processIsAudible");
    for (const auto& [index, input] : sinkInputs_) {
        if (input.own && input.silenced)
            return 0u;
    }
    return 1u;
}

SilenceFact<AudioDeviceID> AudioFactsPulse::defaultOutputDevice() const
{
    if (!ready_)
        return unavailable("defaultOutputDevice");
    for (const auto& [index, sink] : sinks_) {
        if (sink.name == defaultSinkName_)
            return sinkDevice(index);
    }
    return AudioDeviceID(0);
}

SilenceFact<std::uint32_t> AudioFactsPulse::outputMute(AudioDeviceID device) const
{
    const auto* found = ready_ ? sink(device) : nullptr;
    if (!found)
        return unavailable("outputMute");
    return found->muted ? 1u : 0u;
}

SilenceFact<float> AudioFactsPulse::outputVolumeScalar(AudioDeviceID device) const
{
    const auto* found = ready_ ? sink(device) : nullptr;
    if (!found)
        return unavailable("outputVolumeScalar");
    return found->volume;
}

SilenceFact<std::vector<AudioDeviceID>> AudioFactsPulse::audioDevices() const
{
    if (!ready_)
        return unavailable("audioDevices");
    std::vector<AudioDeviceID> devices;
    devices.reserve(sinks_.size() + sources_.size());
    for (const auto& entry : sinks_)
        devices.push_back(sinkDevice(entry.first));
    for (const auto& entry : sources_)
        devices.push_back(sourceDevice(entry.first));
    return devices;
}

SilenceFact<std::size_t> AudioFactsPulse::inputStreamCount(AudioDeviceID device) const
{
    if (!ready_)
        return unavailable("inputStreamCount");
    if (!isSourceDevice(device))
        return sink(device) ? SilenceFact<std::size_t>(0) : unavailable("inputStreamCount");
    const auto found = sources_.find(indexOf(device));
    if (found == sources_.end())
        return unavailable("inputStreamCount");
    return std::size_t(found->second.monitor ? 0 : 1);
}

SilenceFact<std::uint32_t> AudioFactsPulse::isRunningSomewhere(AudioDeviceID device) const
{
    if (!ready_)
        return unavailable("isRunningSomewhere");
    const auto index = indexOf(device);
    if (isSourceDevice(device)) {
        for (const auto& [outputIndex, output] : sourceOutputs_) {
            if (output.source == index && !output.own)
                return 1u;
        }
        return sources_.contains(index) ? SilenceFact<std::uint32_t>(0u) : unavailable("isRunningSomewhere");
    }
    for (const auto& [inputIndex, input] : sinkInputs_) {
        if (input.sink == index && !input.silenced)
            return 1u;
    }
    return sinks_.contains(index) ? SilenceFact<std::uint32_t>(0u) : unavailable("isRunningSomewhere");
}

} // namespace tintra
