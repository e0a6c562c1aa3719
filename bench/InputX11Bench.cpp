// From a button pressed through XTest to the global mouse monitor's handler,
// on a virtual desktop of its own.
#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/x11/InputEventsX11.h"

#include "desktop/VirtualDesktop.h"

#include <benchmark/benchmark.h>
#include <glib.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace tintra {
namespace {

void fakeButton(xcb_connection_t* connection, std::uint8_t type)
{
    xcb_test_fake_input(connection, type, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection);
}

void BM_XTestPressToMouseHandler(benchmark::State& state)
{
    VirtualDesktop desktop { { .windowManager = false, .accessibility = false } };
    if (desktop.skipReason) {
        state.SkipWithError(desktop.skipReason->c_str());
        return;
    }
    MainExecutorGlib executor;
    InputEventsX11 input(executor);
    int pressed = 0;
    const auto token = input.addGlobalMouseMonitor(MouseEventType::leftMouseDown, [&](const MouseEvent&) { ++pressed; });
    xcb_connection_t* injector = xcb_connect(nullptr, nullptr);
    if (!token || xcb_connection_has_error(injector)) {
        state.SkipWithError("no XInput 2.2 or no display");
        xcb_disconnect(injector);
        return;
    }
    std::vector<double> microseconds;
    for (auto _ : state) {
        const int before = pressed;
        const auto start = std::chrono::steady_clock::now();
        fakeButton(injector, XCB_BUTTON_PRESS);
        while (pressed == before)
            g_main_context_iteration(nullptr, TRUE);
        microseconds.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        fakeButton(injector, XCB_BUTTON_RELEASE);
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        state.ResumeTiming();
    }
    xcb_disconnect(injector);
    std::sort(microseconds.begin(), microseconds.end());
    state.counters["p50_us"] = microseconds[microseconds.size() / 2];
    state.counters["p95_us"] = microseconds[microseconds.size() * 95 / 100];
}
BENCHMARK(BM_XTestPressToMouseHandler)->Unit(benchmark::kMicrosecond)->Iterations(300);

} // namespace
} // namespace tintra
