#include "desktop/PrivatePulseServer.h"
#include "desktop/ToneSoundSet.h"
#include "desktop/VirtualDesktop.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

namespace tintra {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The program of the build tree, on a virtual desktop and a sound server of its own,
// meeting a user whose tone set is chosen, as the desktop tests' user, with three of
// our test programs open for it to attach to and observe.
struct ProgramDesktop {
    PrivatePulseServer pulse;
    VirtualDesktop desktop;
    std::optional<std::string> skipReason;
    std::vector<ChildProcess> testPrograms;

    ProgramDesktop()
    {
        skipReason = pulse.skipReason ? pulse.skipReason : desktop.skipReason;
        if (skipReason)
            return;
        testing::prepareToneUser();
        const std::string programs = TINTRA_PROGRAMS_DIR;
        for (const auto* title : { "Tintra GTK 3 One", "Tintra GTK 3 Two" })
            testPrograms.push_back(desktop.start({ "/usr/bin/python3", programs + "/gtk3-controls.py", title }));
        testPrograms.push_back(desktop.start({ TINTRA_QT6_CONTROLS, "Tintra Qt 6 Three" }));
        for (const auto* title : { "Tintra GTK 3 One", "Tintra GTK 3 Two", "Tintra Qt 6 Three" }) {
            if (desktop.run(std::string("timeout 30 xdotool search --sync --name '") + title + "' >/dev/null") != 0)
                skipReason = std::string("the test program ") + title + " did not open";
        }
    }
    ChildProcess startAtLogin() const { return desktop.start({ TINTRA_PROGRAM, "--opened-at-login" }); }
};

// From the start of the process to the first sample of its login sound in the sink: the
// controller is running and has played, so every later event can sound.
std::optional<Clock::duration> startToLoginSound(const ProgramDesktop& session, ChildProcess& program)
{
    SinkRecorder recorder;
    if (!recorder.isOpen())
        return {};
    // An idle null sink renders in two-second blocks until the recorder's low latency has
    // reached it; a sound in that time would reach the monitor up to two seconds late.
    std::this_thread::sleep_for(3s);
    const auto started = Clock::now();
    program = session.startAtLogin();
    const auto chunks = recorder.record(20000ms, [](const SinkRecorder::Chunk& chunk) {
        return std::any_of(chunk.samples.begin(), chunk.samples.end(), [](float sample) { return std::abs(sample) > 1e-3f; });
    });
    if (chunks.empty() || Clock::now() - started >= 20000ms)
        return {};
    return chunks.back().arrived - started;
}

std::string procField(pid_t pid, const std::string& file, const std::string& key)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key, 0) == 0)
            return line.substr(key.size());
    }
    return {};
}

// User and system time of a process, every thread, in seconds.
double cpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::vector<std::string> values((std::istream_iterator<std::string>(fields)), std::istream_iterator<std::string>());
    if (values.size() < 13)
        return 0;
    return double(std::stoll(values[11]) + std::stoll(values[12])) / double(sysconf(_SC_CLK_TCK));
}

// Start-up to the first sound, over a fresh process each time; p50 and max.
void BM_ProgramStartToFirstSound(benchmark::State& state)
{
    ProgramDesktop session;
    if (session.skipReason) {
        state.SkipWithError(session.skipReason->c_str());
        return;
    }
    std::vector<double> milliseconds;
    for (auto _ : state) {
        ChildProcess program;
        const auto elapsed = startToLoginSound(session, program);
        if (!elapsed) {
            state.SkipWithError(("the login sound was not heard: " + session.desktop.log()).c_str());
            return;
        }
        milliseconds.push_back(std::chrono::duration<double, std::milli>(*elapsed).count());
        state.SetIterationTime(std::chrono::duration<double>(*elapsed).count());
        program.stop();
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["p50_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters["max_ms"] = milliseconds.back();
}
BENCHMARK(BM_ProgramStartToFirstSound)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

// Resident memory once started (settings window closed), then its CPU over 60 s of an idle
// desktop, the three test programs observed.
void BM_ProgramIdle(benchmark::State& state)
{
    ProgramDesktop session;
    if (session.skipReason) {
        state.SkipWithError(session.skipReason->c_str());
        return;
    }
    for (auto _ : state) {
        ChildProcess program;
        if (!startToLoginSound(session, program)) {
            state.SkipWithError(("the login sound was not heard: " + session.desktop.log()).c_str());
            return;
        }
        std::this_thread::sleep_for(5s);
        state.counters["rss_MB"] = double(std::stoll(procField(program.pid(), "status", "VmRSS:"))) / 1024;
        const double before = cpuSeconds(program.pid());
        std::this_thread::sleep_for(60s);
        state.counters["idle_cpu_percent"] = (cpuSeconds(program.pid()) - before) / 60 * 100;
        program.stop();
    }
}
BENCHMARK(BM_ProgramIdle)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace tintra
