#include "desktop/ProgramSession.h"

#include <sndfile.h>

#include <algorithm>

namespace tintra::testing {

using namespace std::chrono_literals;

ProgramSession::ProgramSession(VirtualDesktop::Options options)
    : desktop_(options)
{
    skipReason = pulse_.skipReason ? pulse_.skipReason : desktop_.skipReason;
    if (skipReason)
        return;
    prefix_ = desktop_.folder() / "prefix";
    if (desktop_.run("'" TINTRA_CMAKE "' --install '" TINTRA_BUILD_DIR "' --prefix '" + prefix_.string() + "' >/dev/null") != 0) {
        skipReason = "cmake --install failed: " + desktop_.log();
        return;
    }
    prepareToneUser();
    recorder_ = std::thread([this] { record(); });
    // An idle null sink renders in two-second blocks until the recorder's low latency has
    // reached it; a sound in that time would reach the monitor up to two seconds late.
    std::this_thread::sleep_for(2500ms);
}

ProgramSession::~ProgramSession()
{
    stopping_ = true;
    if (recorder_.joinable())
        recorder_.join();
}

void ProgramSession::record()
{
    // Opened again whenever the server has gone, until it is back.
    while (!stopping_) {
        SinkRecorder recorder;
        while (recorder.isOpen() && !stopping_) {
            auto more = recorder.record(50ms, [](const SinkRecorder::Chunk&) { return false; });
            const std::lock_guard lock(mutex_);
            std::move(more.begin(), more.end(), std::back_inserter(chunks_));
        }
        if (!recorder.isOpen())
            std::this_thread::sleep_for(20ms);
    }
}

ProgramSession::Clock::time_point ProgramSession::restartSoundServer()
{
    pulse_.stop();
    pulse_.start();
    return Clock::now();
}

ChildProcess ProgramSession::start(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> command { program().string() };
    command.insert(command.end(), arguments.begin(), arguments.end());
    return desktop_.start(command);
}

bool ProgramSession::waitUntilRunning(std::chrono::milliseconds limit) const
{
    return VirtualDesktop::waitUntil([&] {
        return desktop_.capture("gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus "
                                "-m org.freedesktop.DBus.NameHasOwner org.tintradorvel.TintraDorvel")
            == "(true,)";
    }, limit);
}

std::string ProgramSession::report() const
{
    desktop_.run("xclip -selection clipboard -i </dev/null");
    if (desktop_.run("gdbus call --session -d org.tintradorvel.TintraDorvel -o /org/tintradorvel/TintraDorvel "
                     "-m org.freedesktop.Application.ActivateAction copy-report '[]' '{}' >/dev/null") != 0)
        return {};
    std::string report;
    VirtualDesktop::waitUntil([&] {
        report = desktop_.capture("xclip -o -selection clipboard");
        return !report.empty();
    }, 10s);
    return report;
}

std::vector<HeardTone> ProgramSession::heardSince(Clock::time_point since) const
{
    std::vector<SinkRecorder::Chunk> recent;
    {
        const std::lock_guard lock(mutex_);
        const auto first = std::find_if(chunks_.begin(), chunks_.end(), [&](const auto& chunk) { return chunk.arrived >= since; });
        recent.assign(first, chunks_.end());
    }
    return heardTones(recent);
}

std::vector<HeardTone> ProgramSession::listenFor(TintraSoundID sound, Clock::time_point since, std::chrono::milliseconds limit) const
{
    return listenFor(std::vector { sound }, since, limit);
}

std::vector<HeardTone> ProgramSession::listenFor(const std::vector<TintraSoundID>& sounds, Clock::time_point since, std::chrono::milliseconds limit) const
{
    const auto heard = [&] {
        const auto tones = heardSince(since);
        return std::all_of(sounds.begin(), sounds.end(), [&](TintraSoundID sound) {
            return std::any_of(tones.begin(), tones.end(), [&](const HeardTone& tone) { return tone.sound == sound; });
        });
    };
    if (VirtualDesktop::waitUntil(heard, limit))
        std::this_thread::sleep_for(2 * std::chrono::duration<double>(toneSeconds));
    return heardSince(since);
}

std::optional<ProgramSession::Clock::time_point> ProgramSession::firstSoundSince(Clock::time_point since, std::chrono::milliseconds limit) const
{
    std::optional<Clock::time_point> onset;
    VirtualDesktop::waitUntil([&] {
        const std::lock_guard lock(mutex_);
        for (auto chunk = chunks_.rbegin(); chunk != chunks_.rend() && chunk->arrived >= since; ++chunk) {
            if (const auto sound = SinkRecorder::firstSound(*chunk); sound && *sound >= since)
                onset = sound;
        }
        return onset.has_value();
    }, limit);
    return onset;
}

bool ProgramSession::writeRecording(const std::filesystem::path& file) const
{
    SF_INFO format { .frames = 0, .samplerate = 48000, .channels = 2, .format = SF_FORMAT_WAV | SF_FORMAT_PCM_16, .sections = 0, .seekable = 0 };
    SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &format);
    if (!sound)
        return false;
    const std::lock_guard lock(mutex_);
    bool written = true;
    for (const auto& chunk : chunks_)
        written = written && sf_writef_float(sound, chunk.samples.data(), sf_count_t(chunk.samples.size() / 2)) == sf_count_t(chunk.samples.size() / 2);
    return sf_close(sound) == 0 && written;
}

std::string describe(const std::vector<HeardTone>& tones)
{
    std::string names;
    for (const auto& tone : tones)
        names += (names.empty() ? "" : " ") + tone.sound.description();
    return names.empty() ? "nothing" : names;
}

} // namespace tintra::testing
