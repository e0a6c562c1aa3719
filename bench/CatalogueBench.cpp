#include "catalogue/Catalogue.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

// One lookup per iteration, cycling through every row, as the player and the
// bundle matcher do.
void BM_EntryBySoundID(benchmark::State& state)
{
    std::vector<TintraSoundID> codes;
    for (const auto& entry : fullCatalogue())
        codes.push_back(entry.soundID);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(entryBySoundID(codes[next]));
        next = next + 1 == codes.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_EntryBySoundID);

void BM_EntryByFileName(benchmark::State& state)
{
    std::vector<std::string> names;
    for (const auto& entry : fullCatalogue())
        names.emplace_back(entry.fileName.substr(0, entry.fileName.rfind('.')));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(entryByFileName(names[next]));
        next = next + 1 == names.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_EntryByFileName);

void BM_EntryByFileNameMiss(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(entryByFileName("Read Me First"));
}
BENCHMARK(BM_EntryByFileNameMiss);

} // namespace
} // namespace tintra
