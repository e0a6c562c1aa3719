#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/SilenceFactsLinux.h"
#include "platform/linux/pulse/AudioOutputPulse.h"
#include "silence/SilenceMonitor.h"

#include "desktop/MainLoopWait.h"
#include "desktop/PrivatePulseServer.h"
#include "desktop/TestWindow.h"
#include "desktop/VirtualDesktop.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/ManualExecutor.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace tintra {
namespace {

// One full evaluation of the silence monitor, every reason switched on, over
// the real Linux adapters with warm caches: a virtual desktop with a dozen
// windows, a private PulseAudio server with our stream playing and a
// microphone source, a PipeWire server, and stand-ins for UPower, logind and
// GameMode. Nothing holds, so every probe is asked each time; the monitor's
// clock steps past its half-second reuse before each evaluation.
void BM_SilenceLinuxEvaluated(benchmark::State& state)
{
    VirtualDesktop desktop({ .accessibility = false, .systemBus = true });
    PrivatePulseServer pulse;
    if (desktop.skipReason || pulse.skipReason) {
        state.SkipWithError((desktop.skipReason ? *desktop.skipReason : *pulse.skipReason).c_str());
        return;
    }
    std::system("pactl load-module module-null-source source_name=tintra_mic >/dev/null");
    const std::string gameMode = "com.feralinteractive.GameMode";
    auto upower = desktop.start({ "/usr/bin/python3", "-m", "dbusmock", "--system", "-t", "upower" });
    auto logind = desktop.start({ "/usr/bin/python3", "-m", "dbusmock", "--system", "-t", "logind" });
    auto gamemode = desktop.start({ "/usr/bin/python3", "-m", "dbusmock", gameMode, "/com/feralinteractive/GameMode", gameMode });
    auto pipewire = desktop.start({ "pipewire" });
    desktop.run("gdbus wait --system --timeout 20 org.freedesktop.UPower && gdbus wait --system --timeout 20 org.freedesktop.login1"
                " && for i in $(seq 100); do pw-cli info 0 >/dev/null 2>&1 && break; sleep 0.1; done"
                " && gdbus wait --session --timeout 20 " + gameMode + " && gdbus call --session -d " + gameMode
        + " -o /com/feralinteractive/GameMode -m org.freedesktop.DBus.Mock.AddProperty " + gameMode + " ClientCount '<int32 0>'");
    AudioOutputPulse output;
    MainExecutorGlib main;
    SilenceFactsLinux facts(main);
    std::vector<std::unique_ptr<TestWindow>> windows;
    for (int i = 0; i < 12; ++i)
        windows.push_back(std::make_unique<TestWindow>("Window " + std::to_string(i), 30 * i, 20 * i, 600, 400, 5000 + i));
    const bool warm = iterateUntil([&] {
        const auto list = facts.onScreenWindowList();
        return output.isConnected() && facts.processIsAudible() && list && list->size() >= windows.size()
            && facts.timeRemainingEstimate() && facts.assertionsByProcess() && facts.skyLight().isScreenWatcherPresent();
    }, std::chrono::seconds(20));
    if (!warm) {
        state.SkipWithError("the facts did not fill");
        return;
    }

    ManualClock clock;
    BackgroundExecutor background(main);
    DefaultsMemory defaults;
    auto probe = std::make_unique<TintraSilenceProbe>(facts, facts.skyLight(), clock, main, background);
    probe->fetchFocusNow();
    TintraSilenceMonitor monitor(defaults, std::move(probe), true, clock);
    for (auto reason : allSilenceReasons)
        monitor.setEnabled(true, reason);

    std::vector<double> microseconds;
    for (auto _ : state) {
        clock.advance(seconds(0.5));
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(monitor.currentReason());
        microseconds.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(microseconds.begin(), microseconds.end());
    state.counters["p50_us"] = microseconds[microseconds.size() / 2];
    state.counters["p95_us"] = microseconds[microseconds.size() * 95 / 100];
    state.counters["windows"] = double(facts.onScreenWindowList()->size());
}
BENCHMARK(BM_SilenceLinuxEvaluated)->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tintra
