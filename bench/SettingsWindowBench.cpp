#include "catalogue/Catalogue.h"
#include "fakes/ControllerRig.h"
#include "ui/EventListView.h"
#include "ui/SettingsWindow.h"
#include "ui/SoundSetsTab.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tintra {
namespace {

// A widget application on the offscreen platform for one benchmark; it goes
// before the next benchmark, which may need an application of another kind.
struct OffscreenApplication {
    static inline int argc = 1;
    static inline char name[] = "tintra_bench";
    static inline char* argv[] = { name, nullptr };
    std::unique_ptr<QApplication> application;

    OffscreenApplication()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        application = std::make_unique<QApplication>(argc, argv);
    }
};

// A set with a sound for every listed event, and a log as full as it gets.
struct FullRig {
    testing::ControllerRig rig;
    TintraController& controller;

    FullRig()
        : controller(rig.make())
    {
        std::vector<TintraSoundID> sounds;
        for (const auto& entry : listedCatalogue())
            sounds.push_back(entry.soundID);
        rig.installSet("classic", sounds);
        controller.reloadLibrary();
        const auto start = rig.clock.now();
        for (int app = 0; app < int(TintraSoundLog::maximumSections); ++app) {
            for (int row = 0; row < int(TintraSoundLog::maximumEntriesPerSection); ++row) {
                TintraEvent event;
                event.notificationName = "AXMenuOpened " + std::to_string(row);
                event.soundID = listedCatalogue()[std::size_t(row)].soundID;
                event.processIdentifier = 1000 + app;
                event.applicationName = "App " + std::to_string(app);
                controller.log().record(event, start + std::chrono::seconds(app * 20 + row));
            }
        }
    }

    std::unique_ptr<TintraSettingsWindow> open()
    {
        auto window = std::make_unique<TintraSettingsWindow>(controller, *rig.silence, rig.defaults, rig.executor,
            TintraSettingsShell { .clock = &rig.clock });
        window->showAndRaise();
        QApplication::processEvents();
        return window;
    }
};

// From construction to the first frame of the window drawn; the median of the
// repetitions is the p50.
void BM_SettingsWindowOpen(benchmark::State& state)
{
    OffscreenApplication application;
    FullRig full;
    if (full.controller.log().entryCount() == 0)
        state.SkipWithError("the log stayed empty");
    for (auto _ : state) {
        auto window = full.open();
        benchmark::DoNotOptimize(window.get());
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SettingsWindowOpen)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(7)->ReportAggregatesOnly();

// One keystroke of retyping the search over the full list, with the redraw it causes.
void BM_SettingsSearchKeystroke(benchmark::State& state)
{
    OffscreenApplication application;
    FullRig full;
    auto window = full.open();
    window->showTab(TintraSettingsWindow::Tab::soundSets);
    auto& search = window->soundSets().search();
    const QString word = "window close";
    std::size_t keystroke = 0;
    for (auto _ : state) {
        // Types the word, then deletes it again, one character at a time.
        const auto step = keystroke % (2 * word.size());
        const auto length = step < std::size_t(word.size()) ? step + 1 : 2 * word.size() - step - 1;
        search.setText(word.left(qsizetype(length)));
        QApplication::processEvents();
        ++keystroke;
    }
    search.setText(word);
    if (window->soundSets().events().shownNames().empty())
        state.SkipWithError("the search found nothing");
}
BENCHMARK(BM_SettingsSearchKeystroke)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tintra
