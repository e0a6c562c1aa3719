#include "platform/linux/qt/ClickSparkOverlayQt.h"
#include "platform/linux/qt/ClickSparkRenderer.h"
#include "sparks/ClickSparkField.h"
#include "sparks/ClickSparkInstance.h"

#include "desktop/VirtualDesktop.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace tintra {
namespace {

TintraClickSparkField fullField()
{
    TintraClickSparkField field { TintraSparkRandom { 1 } };
    while (field.sparks.size() < TintraClickSparkField::capacity)
        field.burst({ 960, 540 });
    return field;
}

// One frame's CPU work for a full field: the step and the instance records.
void BM_SparkFieldFrame(benchmark::State& state)
{
    TintraClickSparkField field = fullField();
    const std::vector<TintraClickSpark> born = field.sparks;
    std::array<TintraClickSparkInstance, TintraClickSparkField::capacity> records {};
    int frame = 0;
    for (auto _ : state) {
        // Thirty frames at 60 Hz stay inside the shortest life, so all 80 are stepped every time.
        if (++frame == 30) {
            field.sparks = born;
            frame = 0;
        }
        field.advance(1.0 / 60);
        std::size_t count = 0;
        for (const TintraClickSpark& spark : field.sparks)
            if (const auto record = instance(spark))
                records[count++] = *record;
        benchmark::DoNotOptimize(records.data());
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_SparkFieldFrame);

// A 1920×1080 virtual desktop with a compositor and a Qt application on it,
// made once for the overlay benchmarks and stopped before Qt's own statics go.
struct SparksDesktop {
    VirtualDesktop desktop { { .windowManager = false, .compositor = true, .accessibility = false, .width = 1920, .height = 1080 } };
    std::unique_ptr<QGuiApplication> application;

    SparksDesktop()
    {
        if (desktop.skipReason)
            return;
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        application = std::make_unique<QGuiApplication>(argc, argv);
    }

    static SparksDesktop& shared()
    {
        static SparksDesktop* desktop = nullptr;
        if (!desktop) {
            desktop = new SparksDesktop;
            std::atexit([] { delete desktop; });
        }
        return *desktop;
    }

    static inline int argc = 1;
    static inline char name[] = "tintra_bench";
    static inline char* argv[] = { name, nullptr };
};

bool runUntil(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}

// One full frame of 80 sparks drawn and presented on the software renderer.
void BM_SparkFrameOnLlvmpipe(benchmark::State& state)
{
    SparksDesktop& session = SparksDesktop::shared();
    if (!session.application) {
        state.SkipWithError(session.desktop.skipReason->c_str());
        return;
    }
    const auto renderer = TintraClickSparkRenderer::make();
    if (!renderer) {
        state.SkipWithError("no OpenGL renderer");
        return;
    }
    QWindow window;
    window.setSurfaceType(QSurface::OpenGLSurface);
    window.setFormat(renderer->format());
    window.setFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    window.setGeometry(0, 0, 1920, 1080);
    window.show();
    if (!runUntil([&] { return window.isExposed(); }, 5000)) {
        state.SkipWithError("the window was never exposed");
        return;
    }
    TintraClickSparkField field = fullField();
    field.advance(0.05); // faded in, every spark drawn
    std::vector<double> milliseconds;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        benchmark::DoNotOptimize(renderer->render(window, field.sparks));
        milliseconds.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["p50_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters["p90_ms"] = milliseconds[milliseconds.size() * 9 / 10];
}
BENCHMARK(BM_SparkFrameOnLlvmpipe)->Unit(benchmark::kMillisecond)->Iterations(200);

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The process's CPU (every thread, the driver's too) over the 10 s after the last spark.
void BM_SparkOverlayIdleCpu(benchmark::State& state)
{
    SparksDesktop& session = SparksDesktop::shared();
    if (!session.application) {
        state.SkipWithError(session.desktop.skipReason->c_str());
        return;
    }
    ClickSparkOverlayQt overlay;
    for (auto _ : state) {
        overlay.spark({ 400, 300 });
        const auto* view = overlay.view(QGuiApplication::primaryScreen());
        if (!view || !runUntil([&] { return !view->isRunning(); }, 5000)) {
            state.SkipWithError("the overlay did not spark");
            return;
        }
        const double before = processCpuSeconds();
        // A plain event loop, so that only the overlay could wake the process.
        QEventLoop idle;
        QTimer::singleShot(10000, &idle, &QEventLoop::quit);
        idle.exec();
        state.counters["idle_cpu_s"] = processCpuSeconds() - before;
    }
}
BENCHMARK(BM_SparkOverlayIdleCpu)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace tintra
