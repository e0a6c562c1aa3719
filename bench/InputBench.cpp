#include "engine/Exclusions.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/InputEventsFake.h"
#include "fakes/KeyboardHardwareFake.h"
#include "fakes/ManualClock.h"
#include "fakes/WorkspaceFake.h"
#include "input/ClickResolver.h"
#include "input/ClickScene.h"
#include "input/KeyPressMonitor.h"

#include <benchmark/benchmark.h>

namespace tintra {
namespace {

constexpr std::int32_t kHost = ClickScene::host;
constexpr std::int32_t kMail = ClickScene::mail;

// One click on a push button in a document window, the application answering
// at once: the resolver's own cost over the fake's.
void BM_ResolveClick(benchmark::State& state)
{
    ClickScene scene;
    scene.add("AXButton", std::nullopt, { { 100, 100 }, { 80, 20 } });
    scene.ax.setAnswerDelay(ClickScene::mail, Duration::zero());
    TintraClickResolver resolver { scene.ax, scene.workspace, scene.exclusions.exclusionTest() };

    for (auto _ : state)
        benchmark::DoNotOptimize(resolver.resolve({ 120, 110 }));
}
BENCHMARK(BM_ResolveClick);

// One key press in another application, after the first has filled the caches.
void BM_KeyDown(benchmark::State& state)
{
    ManualClock clock;
    InputEventsFake input;
    WorkspaceFake workspace { kHost };
    KeyboardHardwareFake keyboards;
    DefaultsMemory defaults;
    TintraExclusions exclusions { defaults, {} };
    workspace.launch({ kMail, "Mail", "org.example.Mail" });
    float pan = 0;
    TintraKeyPressMonitor monitor { input, workspace, keyboards, clock,
        [&pan](const TintraEvent& event) { pan = *event.pan; }, exclusions.exclusionTest() };
    monitor.start();

    for (auto _ : state) {
        input.keyDown({ 0, 40, kMail });
        benchmark::DoNotOptimize(pan);
    }
}
BENCHMARK(BM_KeyDown);

} // namespace
} // namespace tintra
