#pragma once

#include "silence/SilenceFacts.h"
#include "support/MainExecutor.h"
#include "support/WeakSelf.h"

#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>

struct pa_context;
struct pa_glib_mainloop;
struct pa_proplist;

namespace tintra {

// The audio facts of the silence probes, from PulseAudio's introspection
// (PipeWire serves the same), kept in memory and refreshed by the server's
// change events, so that reading them never waits. Its own context on GLib's
// default main context; main thread only.
//
// Device identifiers: a sink's is its index + 1, a source's its index + 1
// with the top bit set, so both kinds share one list and 0 means none.
// "This process" is every stream whose client states our process id: our own
// sink inputs decide audibility, and our own recordings never count as a
// microphone in use; monitor sources have no input stream.
//
// Until the first complete picture has arrived, and while no server can be
// reached, every fact fails with serviceUnavailable; the loss is said once on
// standard error and the facts reconnect every two seconds.
class AudioFactsPulse {
public:
    explicit AudioFactsPulse(MainExecutor& main, pid_t ownProcess);
    ~AudioFactsPulse();
    AudioFactsPulse(const AudioFactsPulse&) = delete;
    AudioFactsPulse& operator=(const AudioFactsPulse&) = delete;

    SilenceFact<std::uint32_t> processIsAudible() const;
    SilenceFact<AudioDeviceID> defaultOutputDevice() const;
    SilenceFact<std::uint32_t> outputMute(AudioDeviceID device) const;
    SilenceFact<float> outputVolumeScalar(AudioDeviceID device) const;
    SilenceFact<std::vector<AudioDeviceID>> audioDevices() const;
    SilenceFact<std::size_t> inputStreamCount(AudioDeviceID device) const;
    SilenceFact<std::uint32_t> isRunningSomewhere(AudioDeviceID device) const;

    // Whether the first complete picture has arrived.
    bool isReady() const { return ready_; }

private:
    struct Sink {
        std::string name;
        bool muted = false;
        float volume = 1.0f;
    };
    struct SinkInput {
        std::uint32_t sink = 0;
        bool own = false;
        bool silenced = false; // muted, corked or at zero volume
    };
    struct Source {
        bool monitor = false;
    };
    struct SourceOutput {
        std::uint32_t source = 0;
        bool own = false;
    };
    struct Callbacks;

    void connect();
    void dropContext();
    void lost(const char* what);
    void requestAll();
    void requestServer();
    void finishInitialRequest();
    bool isOwn(const pa_proplist* properties) const;
    tl::unexpected<SilenceFactError> unavailable(const char* operation) const;
    const Sink* sink(AudioDeviceID device) const;

    MainExecutor& main_;
    const std::string ownProcess_;
    pa_glib_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    ScheduledWork reconnect_;
    bool lossReported_ = false;
    int initialRequests_ = 0;
    bool initialServerRequest_ = false;
    bool restarting_ = false;
    bool ready_ = false;

    std::string defaultSinkName_;
    std::map<std::uint32_t, Sink> sinks_;
    std::map<std::uint32_t, SinkInput> sinkInputs_;
    std::map<std::uint32_t, Source> sources_;
    std::map<std::uint32_t, SourceOutput> sourceOutputs_;
    WeakSelf<AudioFactsPulse> self_ { *this };
};

} // namespace tintra
