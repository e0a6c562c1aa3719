#include "catalogue/Catalogue.h"
#include "fakes/TemporaryFolder.h"
#include "platform/linux/files/SoundTypeRegistryLinux.h"
#include "soundsets/Bundle.h"
#include "soundsets/Export.h"
#include "soundsets/Library.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tintra {
namespace {

namespace fs = std::filesystem;

constexpr int kBundleCount = 50;
// About a quarter second of 16-bit mono audio at 22 kHz, a typical theme sound.
constexpr std::size_t kSoundBytes = 11025;

const SoundTypeRegistryLinux& registry()
{
    static const SoundTypeRegistryLinux shared;
    return shared;
}

// One folder for the whole program run, removed at exit.
const fs::path& benchFolder()
{
    static const TemporaryFolder folder;
    return folder.path();
}

void writeSoundFile(const fs::path& file)
{
    static const std::string bytes(kSoundBytes, '\x10');
    std::ofstream(file, std::ios::binary) << bytes;
}

// A bundle with a file for every listed sound, named as the catalogue names them.
fs::path writeFullBundle(const fs::path& bundle, const std::string& name)
{
    if (!writeBundleSkeleton(bundle, TintraBundleMetadata { "org.example.bench." + identifierSlug(name), name, "1.0", {}, {}, 1 }))
        std::abort();
    for (const auto& entry : listedCatalogue())
        writeSoundFile(bundle / "Contents" / "Resources" / std::string(entry.fileName));
    return bundle;
}

const fs::path& libraryWithFiftyBundles()
{
    static const fs::path folder = [] {
        const fs::path library = benchFolder() / "library";
        for (int index = 0; index < kBundleCount; ++index)
            writeFullBundle(library / ("Set " + std::to_string(index) + ".tintraset"), "Set " + std::to_string(index));
        return library;
    }();
    return folder;
}

// Scanning 50 bundles of 139 sounds each, loading and ordering them.
void BM_LibraryReload(benchmark::State& state)
{
    TintraLibrary library(libraryWithFiftyBundles(), std::nullopt, registry());
    if (library.bundles().get().size() != kBundleCount)
        state.SkipWithError("the bench library did not load");
    for (auto _ : state) {
        library.reload();
        benchmark::DoNotOptimize(library.bundles().get().data());
    }
    state.counters["sounds"] = double(kBundleCount) * double(listedCatalogue().size());
}
BENCHMARK(BM_LibraryReload)->Unit(benchmark::kMillisecond);

// Exporting 139 sounds: staging, copying every file, writing the property list and placing the bundle.
void BM_ExportSoundSet(benchmark::State& state)
{
    const fs::path source = writeFullBundle(benchFolder() / "export-source.tintraset", "Source");
    std::vector<TintraExportSource> sources;
    for (const auto& entry : listedCatalogue())
        sources.push_back({ entry.soundID, source / "Contents" / "Resources" / std::string(entry.fileName), false });
    const fs::path destination = benchFolder() / "out" / "Exported.tintraset";
    fs::create_directories(destination.parent_path());
    for (auto _ : state) {
        const auto summary = exportSoundSet(sources, destination, benchFolder() / "tmp");
        if (!summary || summary->eventCount != int(sources.size()))
            state.SkipWithError("the export failed");
    }
}
BENCHMARK(BM_ExportSoundSet)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tintra
