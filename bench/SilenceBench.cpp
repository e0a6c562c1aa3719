#include "fakes/DefaultsMemory.h"
#include "fakes/ManualExecutor.h"
#include "fakes/SilenceFactsFake.h"
#include "fakes/SkyLightPrivateAPIFake.h"
#include "silence/SilenceMonitor.h"

#include <benchmark/benchmark.h>

namespace tintra {
namespace {

// A quiet desktop with every switch on: nothing holds, so a fresh evaluation
// asks every probe, the Focus state aside (fetched once, then trusted).
struct SilenceBench {
    ManualClock clock;
    ManualExecutor main { clock };
    DefaultsMemory defaults;
    SilenceFactsFake facts;
    SkyLightPrivateAPIFake skyLight;
    BackgroundExecutor background { main };
    std::unique_ptr<TintraSilenceMonitor> monitor;

    SilenceBench()
    {
        PropertyList::Array windows;
        for (int i = 0; i < 20; ++i)
            windows.push_back(SilenceFactsFake::windowEntry(100 + i, 0, Rect { 20.0 * i, 40, 800, 600 }));
        facts.windowList = windows;
        facts.frontmost = FrontmostApplication { 100, "/apps/Editor" };
        facts.informationDictionaries["/apps/Editor"] = { { "LSApplicationCategoryType", "public.app-category.developer-tools" } };
        facts.assertions = std::map<std::int32_t, PropertyList::Array> {
            { 100, { SilenceFactsFake::assertion("PreventUserIdleSystemSleep") } } };
        auto probe = std::make_unique<TintraSilenceProbe>(facts, skyLight, clock, main, background);
        probe->fetchFocusNow();
        monitor = std::make_unique<TintraSilenceMonitor>(defaults, std::move(probe), true, clock);
        for (auto reason : allSilenceReasons)
            monitor->setEnabled(true, reason);
    }
};

void BM_SilenceCurrentReasonFresh(benchmark::State& state)
{
    SilenceBench bench;
    bench.monitor->currentReason();
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.monitor->currentReason());
}
BENCHMARK(BM_SilenceCurrentReasonFresh);

void BM_SilenceCurrentReasonEvaluated(benchmark::State& state)
{
    SilenceBench bench;
    for (auto _ : state) {
        bench.clock.advance(seconds(0.5));
        benchmark::DoNotOptimize(bench.monitor->currentReason());
    }
}
BENCHMARK(BM_SilenceCurrentReasonEvaluated);

} // namespace
} // namespace tintra
