#include "engine/Exclusions.h"
#include "fakes/AccessibilityFake.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/InputEventsFake.h"
#include "fakes/KeyboardHardwareFake.h"
#include "fakes/ManualExecutor.h"
#include "fakes/WorkspaceFake.h"
#include "input/ClickResolver.h"
#include "input/KeyPressMonitor.h"

#include <benchmark/benchmark.h>

namespace tintra {
namespace {

constexpr std::int32_t kHost = 7;
constexpr std::int32_t kMail = 42;

// One click on a push button in a document window, the application answering
// at once: the resolver's own cost over the fake's.
void BM_ResolveClick(benchmark::State& state)
{
    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake ax { clock, executor };
    WorkspaceFake workspace { kHost };
    DefaultsMemory defaults;
    TintraExclusions exclusions { defaults, {} };
    workspace.launch({ kMail, "Mail", "org.example.Mail" });
    const auto app = ax.addApplication(kMail, { { "AXRole", AXValue::text("AXApplication") } });
    const auto window = ax.addElement(app, { { "AXRole", AXValue::text("AXWindow") }, { "AXSubrole", AXValue::text("AXStandardWindow") } });
    ax.setFrame(window, { { 0, 0 }, { 800, 600 } });
    const auto button = ax.addElement(window, { { "AXRole", AXValue::text("AXButton") }, { "AXWindow", AXValue::element(window) } });
    ax.setFrame(button, { { 100, 100 }, { 80, 20 } });
    ax.setAnswerDelay(kMail, Duration::zero());
    TintraClickResolver resolver { ax, workspace, exclusions };

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
        [&pan](const TintraEvent& event) { pan = *event.pan; }, exclusions };
    monitor.start();

    for (auto _ : state) {
        input.keyDown({ 0, 40, kMail });
        benchmark::DoNotOptimize(pan);
    }
}
BENCHMARK(BM_KeyDown);

} // namespace
} // namespace tintra
