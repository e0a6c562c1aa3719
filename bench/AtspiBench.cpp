// The AT-SPI adapter against our test programs on one virtual desktop (libatspi keeps the first
// bus it meets for the life of the process, so run these alone: --benchmark_filter=Atspi):
// from a program raising an event to the observer's callback, the hit test and resolve of a
// button in GTK 3 and in Qt 6, and the idle cost of every registration on three programs.
#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/atspi/AccessibilityAtspi.h"

#include "catalogue/NotificationMapping.h"
#include "desktop/MainLoopWait.h"
#include "desktop/VirtualDesktop.h"
#include "engine/ApplicationObserver.h"
#include "fakes/WorkspaceFake.h"
#include "input/ClickResolver.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

namespace tintra {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC, as Python's monotonic_ns

const std::string programs = TINTRA_PROGRAMS_DIR;

struct World {
    VirtualDesktop desktop;
    MainExecutorGlib executor;
    AccessibilityAtspi accessibility { executor };

    static World& shared()
    {
        static World world;
        return world;
    }

    // The program started, once its application has a window on the bus; its element.
    std::optional<AXElement> start(ChildProcess& program, const std::vector<std::string>& command)
    {
        program = desktop.start(command);
        AXElement application;
        const bool shown = iterateUntil([&] {
            application = accessibility.applicationElement(program.pid());
            const auto windows = accessibility.copyAttributeValue(application, "AXWindows");
            return windows && windows->get<AXValue::List>() && !windows->get<AXValue::List>()->empty();
        });
        return shown ? std::optional(application) : std::nullopt;
    }
};

void report(benchmark::State& state, std::vector<double> microseconds)
{
    if (microseconds.empty())
        return;
    std::sort(microseconds.begin(), microseconds.end());
    state.counters["p50_us"] = microseconds[microseconds.size() / 2];
    state.counters["p95_us"] = microseconds[microseconds.size() * 95 / 100];
}

void BM_AtspiEventToObserverCallback(benchmark::State& state)
{
    auto& world = World::shared();
    if (world.desktop.skipReason) {
        state.SkipWithError(world.desktop.skipReason->c_str());
        return;
    }
    const auto stamps = world.desktop.folder() / "emitted";
    ChildProcess emitter;
    const auto application = world.start(emitter, { "/usr/bin/python3", programs + "/gtk3-window-emitter.py", stamps.string() });
    if (!application) {
        state.SkipWithError("the emitter did not come on the bus");
        return;
    }
    int created = 0;
    Clock::time_point arrived;
    auto observer = world.accessibility.createObserver(emitter.pid(), [&](const AXElement&, const std::string&, AXContext) {
        arrived = Clock::now();
        ++created;
    });
    if (!observer || (*observer)->addNotification(*application, "AXWindowCreated", 1) != AXError::success) {
        state.SkipWithError("no observer");
        return;
    }
    (*observer)->start();
    std::ifstream emitted(stamps);
    std::vector<double> microseconds;
    for (auto _ : state) {
        const int before = created;
        emitter.signal(SIGUSR1);
        if (!iterateUntil([&] { return created > before; }, 5s)) {
            state.SkipWithError("no window was heard opening");
            return;
        }
        std::string line;
        while (!std::getline(emitted, line)) {
            emitted.clear();
            std::this_thread::sleep_for(1ms);
        }
        const Clock::time_point start { std::chrono::nanoseconds(std::stoll(line)) };
        microseconds.push_back(std::chrono::duration<double, std::micro>(arrived - start).count());
    }
    report(state, microseconds);
}
BENCHMARK(BM_AtspiEventToObserverCallback)->Unit(benchmark::kMillisecond)->Iterations(200);

// The hit test and resolve of a button at its centre, as a click is resolved.
void hitTestAndResolve(benchmark::State& state, const std::vector<std::string>& command)
{
    auto& world = World::shared();
    if (world.desktop.skipReason) {
        state.SkipWithError(world.desktop.skipReason->c_str());
        return;
    }
    ChildProcess program;
    if (!world.start(program, command)) {
        state.SkipWithError("the program did not come on the bus");
        return;
    }
    std::istringstream where(world.desktop.capture("/usr/bin/python3 '" + programs + "/atspi-where.py' "
        + std::to_string(program.pid()) + " 'Push Me' 'push button'"));
    int x = 0, y = 0, width = 0, height = 0;
    if (!(where >> x >> y >> width >> height)) {
        state.SkipWithError("no button");
        return;
    }
    // Raised, and its stacking known to the window facts, before the clock starts.
    world.desktop.run("xdotool search --sync --pid " + std::to_string(program.pid()) + " windowactivate --sync");
    iterateFor(500ms);
    WorkspaceFake workspace(static_cast<std::int32_t>(getpid()));
    TintraClickResolver resolver(world.accessibility, workspace, [](std::optional<std::string_view>) { return false; });
    const Point point { double(x + width / 2), double(y + height / 2) };
    std::vector<double> microseconds;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto target = resolver.resolve(point);
        microseconds.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (!target || target->kind != TintraControlKind::button) {
            state.SkipWithError("the button was not resolved as a button");
            return;
        }
    }
    report(state, microseconds);
}

void BM_AtspiHitTestAndResolveGtk3(benchmark::State& state)
{
    hitTestAndResolve(state, { "/usr/bin/python3", programs + "/gtk3-controls.py" });
}
BENCHMARK(BM_AtspiHitTestAndResolveGtk3)->Unit(benchmark::kMicrosecond)->Iterations(300);

void BM_AtspiHitTestAndResolveQt6(benchmark::State& state)
{
    hitTestAndResolve(state, { TINTRA_QT6_CONTROLS });
}
BENCHMARK(BM_AtspiHitTestAndResolveQt6)->Unit(benchmark::kMicrosecond)->Iterations(300);

double cpuSeconds(const rusage& usage)
{
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Another process's CPU time so far, from /proc.
double cpuSeconds(pid_t process)
{
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int index = 3; index < 14; ++index)
        fields >> field;
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / double(sysconf(_SC_CLK_TCK));
}

// Every registration of the application observer on three programs, then a minute of nothing.
void BM_AtspiIdleWithEveryRegistration(benchmark::State& state)
{
    auto& world = World::shared();
    if (world.desktop.skipReason) {
        state.SkipWithError(world.desktop.skipReason->c_str());
        return;
    }
    const std::vector<std::vector<std::string>> commands {
        { "/usr/bin/python3", programs + "/gtk3-controls.py", "Tintra GTK 3 One" },
        { "/usr/bin/python3", programs + "/gtk3-controls.py", "Tintra GTK 3 Two" },
        { TINTRA_QT6_CONTROLS },
    };
    std::vector<ChildProcess> running(commands.size());
    std::vector<std::unique_ptr<TintraApplicationObserver>> observers;
    for (std::size_t index = 0; index < commands.size(); ++index) {
        const auto application = world.start(running[index], commands[index]);
        if (!application) {
            state.SkipWithError("a program did not come on the bus");
            return;
        }
        const auto pid = running[index].pid();
        TintraApplicationObserver::Environment environment { world.accessibility, SystemClock::shared(),
            [pid]() -> std::optional<std::int32_t> { return pid; }, [] { return false; },
            [](const AXElement&) { return std::optional<std::string>(); } };
        observers.push_back(std::make_unique<TintraApplicationObserver>(environment, pid, commands[index].back(), std::nullopt,
            *application, defaultNotificationMappings(), [](const TintraEvent&) {}, false));
        if (!observers.back()->attach()) {
            state.SkipWithError("an observer did not attach");
            return;
        }
    }
    iterateFor(2s); // what the start raised
    const pid_t qt = running.back().pid();
    for (auto _ : state) {
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        const double qtBefore = cpuSeconds(qt);
        // A blocking loop, as the program's: a polling one would cost more than what it measures.
        GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
        g_timeout_add_seconds(60, [](gpointer loop) { g_main_loop_quit(static_cast<GMainLoop*>(loop)); return G_SOURCE_REMOVE; }, loop);
        g_main_loop_run(loop);
        g_main_loop_unref(loop);
        getrusage(RUSAGE_SELF, &after);
        state.counters["ours_cpu_percent"] = (cpuSeconds(after) - cpuSeconds(before)) / 60 * 100;
        state.counters["qt_program_cpu_percent"] = (cpuSeconds(qt) - qtBefore) / 60 * 100;
    }
}
BENCHMARK(BM_AtspiIdleWithEveryRegistration)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace tintra
