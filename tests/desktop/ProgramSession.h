#pragma once

#include "desktop/PrivatePulseServer.h"
#include "desktop/ToneSoundSet.h"
#include "desktop/VirtualDesktop.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tintra::testing {

// The program as a user meets it: installed into a prefix of its own with
// `cmake --install`, on a virtual desktop and a sound server of its own, for
// the tone user (prepareToneUser), with the sink's monitor recorded from the
// start to the end of the session, so that a test asks what was heard when.
class ProgramSession {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgramSession(VirtualDesktop::Options options = {});
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    std::optional<std::string> skipReason;

    VirtualDesktop& desktop() { return desktop_; }
    std::filesystem::path program() const { return prefix_ / "bin" / "tintra-dorvel"; }
    // The installed program with these arguments, in the session.
    ChildProcess start(const std::vector<std::string>& arguments = {}) const;
    // Waits until the running program owns its name on the session bus.
    bool waitUntilRunning(std::chrono::milliseconds limit) const;
    // The sound log's report, copied by the running program's "copy-report" action and read
    // from the clipboard; empty when none arrives.
    std::string report() const;

    // The tones heard from `since` until now.
    std::vector<HeardTone> heardSince(Clock::time_point since) const;
    // Waits until `sound` has been heard since `since`, then a little more so that
    // what sounded right after it is heard too; everything heard since then.
    std::vector<HeardTone> listenFor(TintraSoundID sound, Clock::time_point since, std::chrono::milliseconds limit) const;
    // The same, once every one of `sounds` has been heard.
    std::vector<HeardTone> listenFor(const std::vector<TintraSoundID>& sounds, Clock::time_point since, std::chrono::milliseconds limit) const;
    // Stops the sound server and starts it afresh, as when a session's server crashes and is
    // started again; when it answered again. The recording goes on from then.
    Clock::time_point restartSoundServer();
    // When the first sample above silence since `since` was captured, waiting up to `limit`.
    std::optional<Clock::time_point> firstSoundSince(Clock::time_point since, std::chrono::milliseconds limit) const;
    // Everything recorded so far, as a stereo 48 kHz WAV file.
    bool writeRecording(const std::filesystem::path& file) const;

private:
    void record();

    // Started first: the desktop then points HOME and the XDG folders at its own.
    PrivatePulseServer pulse_;
    VirtualDesktop desktop_;
    std::filesystem::path prefix_;
    mutable std::mutex mutex_;
    std::vector<SinkRecorder::Chunk> chunks_;
    std::atomic<bool> stopping_ { false };
    std::thread recorder_;
};

// Names of heard tones, for a failing test's message.
std::string describe(const std::vector<HeardTone>& tones);

} // namespace tintra::testing
