#include "soundlog/SoundLog.h"
#include "soundlog/SoundLogReport.h"

#include <benchmark/benchmark.h>

#include <string>

namespace tintra {
namespace {

TintraEvent menuEvent(std::int32_t pid, int row)
{
    TintraEvent event;
    event.notificationName = "AXMenuItemSelected";
    event.soundID = TintraSoundID("mnui");
    event.processIdentifier = pid;
    event.detail = "item " + std::to_string(row);
    event.element = TintraEventElement::named("AXMenuItem \"Item " + std::to_string(row) + "\"");
    return event;
}

// 10 applications of 20 rows each: the most the log holds.
std::unique_ptr<TintraSoundLog> fullLog(WallTime start)
{
    auto log = std::make_unique<TintraSoundLog>(
        [](const AXElement&) { return std::optional<TintraElementSnapshot> {}; },
        [](std::int32_t pid) {
            return std::optional<RunningApplication>(
                { pid, "App " + std::to_string(pid), "org.example.app" + std::to_string(pid), "/usr/bin/app", std::nullopt, "1.0" });
        });
    for (int app = 0; app < 10; ++app) {
        for (int row = 0; row < 20; ++row)
            log->record(menuEvent(1000 + app, row), start + std::chrono::seconds(app * 20 + row));
    }
    return log;
}

// Hearing a row again in a full log: the section and the row move to the
// front, and the log prunes.
void BM_RecordOnFullLog(benchmark::State& state)
{
    const WallTime start = std::chrono::sys_days { std::chrono::year { 2026 } / 1 / 1 };
    auto log = fullLog(start);
    auto date = start + std::chrono::minutes(10);
    int next = 0;
    for (auto _ : state) {
        log->record(menuEvent(1000 + next % 10, next % 20), date);
        date += std::chrono::milliseconds(1);
        ++next;
    }
    benchmark::DoNotOptimize(log->entryCount());
}
BENCHMARK(BM_RecordOnFullLog);

void BM_ReportOfFullLog(benchmark::State& state)
{
    const WallTime start = std::chrono::sys_days { std::chrono::year { 2026 } / 1 / 1 };
    const auto log = fullLog(start);
    log->noteSilence(TintraSilenceReason::focus, start);
    TintraSoundLogReport report;
    report.now = start + std::chrono::minutes(10);
    report.sourceName = [](TintraSoundID) { return std::optional<std::string>("Platinum"); };
    report.systemText = [] { return std::string("Debian GNU/Linux 12 (bookworm) (6.1.0)"); };
    for (auto _ : state)
        benchmark::DoNotOptimize(report.text(*log));
}
BENCHMARK(BM_ReportOfFullLog);

} // namespace
} // namespace tintra
