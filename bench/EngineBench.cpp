#include "catalogue/Catalogue.h"
#include "engine/ApplicationObserver.h"
#include "fakes/ControllerRig.h"
#include "fakes/AccessibilityFake.h"
#include "fakes/ManualExecutor.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace tintra {
namespace {

constexpr std::int32_t mail = 42;

// One attached application with 32 windows already tracked, in front, the
// user not typing: a notification travels from the fake's delivery through
// every filter and the resolution to the handler.
struct ObserverBench {
    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake ax { clock, executor };
    AXElement app = ax.addApplication(mail, { { "AXRole", AXValue::text("AXApplication") } });
    AXElement menu = ax.addElement(app, { { "AXRole", AXValue::text("AXMenu") } });
    AXElement table = ax.addElement(app, { { "AXRole", AXValue::text("AXTable") } });
    AXElement window = ax.addElement(app,
        { { "AXRole", AXValue::text("AXWindow") }, { "AXSubrole", AXValue::text("AXStandardWindow") },
            { "AXTitle", AXValue::text("Inbox") } });
    std::unique_ptr<TintraApplicationObserver> observer;
    std::int64_t events = 0;

    ObserverBench()
    {
        AXValue::List windows;
        for (int i = 0; i < 32; ++i)
            windows.push_back(AXValue::element(ax.addElement(app, { { "AXRole", AXValue::text("AXWindow") } })));
        ax.setAttribute(app, "AXWindows", AXValue::list(std::move(windows)));
        ax.setAttribute(table, "AXSelectedRows", AXValue::list({ AXValue::element(ax.addElement(table)) }));
        ax.setMessagingTimeout(app, TintraApplicationObserver::applicationMessagingTimeout);

        TintraApplicationObserver::Environment environment {
            ax,
            clock,
            [] { return std::optional(mail); },
            [] { return false; },
            [this](const AXElement& element) -> std::optional<std::string> {
                auto title = ax.copyAttributeValue(element, "AXTitle");
                return title && title->get<std::string>() ? std::optional(*title->get<std::string>()) : std::nullopt;
            },
        };
        observer = std::make_unique<TintraApplicationObserver>(std::move(environment), mail, "Mail",
            "com.example.mail", app, defaultNotificationMappings(), [this](const TintraEvent&) { ++events; }, false);
        if (!observer->attach() || observer->trackedElements().size() != 32)
            throw std::logic_error("ObserverBench: the attach did not track the 32 windows");
    }

    void deliver(const AXElement& element, const char* notification)
    {
        ax.post(element, notification);
        executor.runPending();
    }

    // A filter that dropped what it should pass would make the numbers look good.
    void expectEvents(benchmark::State& state, int perIteration) const
    {
        if (events != perIteration * static_cast<std::int64_t>(state.iterations()))
            state.SkipWithError("a notification did not reach the handler");
    }
};

void BM_ObserverMenuOpened(benchmark::State& state)
{
    ObserverBench bench;
    for (auto _ : state)
        bench.deliver(bench.menu, "AXMenuOpened");
    bench.expectEvents(state, 1);
}
BENCHMARK(BM_ObserverMenuOpened);

void BM_ObserverSelectedRowsChanged(benchmark::State& state)
{
    ObserverBench bench;
    for (auto _ : state)
        bench.deliver(bench.table, "AXSelectedRowsChanged");
    bench.expectEvents(state, 1);
}
BENCHMARK(BM_ObserverSelectedRowsChanged);

// Two notifications per iteration: the window is remembered, then forgotten.
void BM_ObserverWindowCreatedAndDestroyed(benchmark::State& state)
{
    ObserverBench bench;
    for (auto _ : state) {
        bench.deliver(bench.window, "AXWindowCreated");
        bench.deliver(bench.window, "AXUIElementDestroyed");
    }
    bench.expectEvents(state, 2);
}
BENCHMARK(BM_ObserverWindowCreatedAndDestroyed);

// One event from its entry to the fake audio port and the sound log, the
// monitor off as it normally is.
void BM_ControllerHandle(benchmark::State& state)
{
    testing::ControllerRig rig;
    const auto bundle = rig.installSet("classic", { TintraSoundID("mnuo") });
    auto& controller = rig.make();
    controller.reloadLibrary();
    TintraEvent event;
    event.notificationName = "AXMenuOpened";
    event.soundID = TintraSoundID("mnuo");
    event.processIdentifier = mail;
    event.applicationName = "Mail";
    for (auto _ : state)
        controller.handle(event);
    const auto file = bundle / "Contents" / "Resources" / std::string(entryBySoundID(TintraSoundID("mnuo"))->fileName);
    if (rig.startsOf(file) != state.iterations())
        state.SkipWithError("an event did not start its sound");
}
BENCHMARK(BM_ControllerHandle);

// A whole attach pass over 100 running applications, from the switch going on
// to the pass ending; `virtual_ms` is the pass's length on the manual clock.
void BM_ControllerAttachPass(benchmark::State& state)
{
    constexpr int applications = 100;
    testing::ControllerRig rig;
    for (int i = 0; i < applications; ++i) {
        const auto pid = 100 + i;
        const auto app = rig.launch(pid, "App " + std::to_string(i), "com.example.app" + std::to_string(i));
        rig.accessibility.addElement(app, { { "AXRole", AXValue::text("AXWindow") } });
    }
    auto& controller = rig.make();
    double virtualMilliseconds = 0;
    for (auto _ : state) {
        const auto started = rig.clock.monotonicNow();
        controller.start();
        while (controller.isAttaching().get())
            rig.run(std::chrono::milliseconds(1));
        virtualMilliseconds
            = std::chrono::duration<double, std::milli>(rig.clock.monotonicNow() - started).count();
        if (controller.observedApplicationCount().get() != applications)
            state.SkipWithError("the pass did not attach every application");
        state.PauseTiming();
        controller.stop();
        state.ResumeTiming();
    }
    state.counters["virtual_ms"] = virtualMilliseconds;
}
BENCHMARK(BM_ControllerAttachPass)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tintra
