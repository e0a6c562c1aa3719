#include "catalogue/Catalogue.h"
#include "fakes/TemporaryFolder.h"
#include "soundsets/ClassicFileWriter.h"
#include "soundsets/ClassicImport.h"
#include "soundsets/SoundResource.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace tintra {
namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t rate22k = 0x56EE8BA3;  // 22254.5454… Hz, the common classic rate

Bytes oneSecond(std::uint8_t seed)
{
    Bytes samples(22254);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::uint8_t(i * 13 + seed);
    return samples;
}

// Throughput in bytes of 'snd ' data per second, for the three decoders.
void BM_DecodeStandard8Bit(benchmark::State& state)
{
    const auto resource = testing::soundFormat1(testing::standardHeader(oneSecond(1), rate22k));
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeSoundResource(resource));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(resource.size()));
}
BENCHMARK(BM_DecodeStandard8Bit);

void BM_DecodeExtended16BitStereo(benchmark::State& state)
{
    const Bytes samples(44100 * 4, 0x5A);
    const auto resource = testing::soundFormat2(testing::extendedHeader(2, 44100, 16, 0xAC440000, samples));
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeSoundResource(resource));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(resource.size()));
}
BENCHMARK(BM_DecodeExtended16BitStereo);

void BM_DecodeMuLaw(benchmark::State& state)
{
    const auto resource = testing::soundFormat2(testing::compressedHeader("ulaw", 1, 22254, rate22k, oneSecond(3)));
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeSoundResource(resource));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(resource.size()));
}
BENCHMARK(BM_DecodeMuLaw);

// A classic file with one second of 22 kHz 8-bit sound for each of the 139
// listed events, mapped by a sound list, imported into a fresh bundle each time.
class ClassicFile {
public:
    ClassicFile()
    {
        std::vector<testing::ForkEntry> entries;
        std::vector<std::pair<TintraSoundID, std::vector<std::int16_t>>> list;
        std::int16_t identifier = 128;
        for (const auto& entry : listedCatalogue()) {
            entries.push_back({ "snd ", identifier, std::nullopt,
                                testing::soundFormat1(testing::standardHeader(oneSecond(std::uint8_t(identifier)), rate22k)) });
            list.push_back({ entry.soundID, { identifier, identifier } });
            ++identifier;
        }
        entries.push_back({ "snd#", 128, std::nullopt, testing::soundList(list, 20) });
        const auto fork = testing::resourceFork(entries);
        std::ofstream(file(), std::ios::binary).write(reinterpret_cast<const char*>(fork.data()), std::streamsize(fork.size()));
    }
    fs::path file() const { return folder_.path() / "Bench Sounds"; }
    const fs::path& folder() const { return folder_.path(); }

private:
    TemporaryFolder folder_;
};

void BM_ImportClassicFile139Sounds(benchmark::State& state)
{
    const ClassicFile classic;
    const auto bytes = fs::file_size(classic.file());
    for (auto _ : state) {
        const auto summary = importClassicSoundSet(classic.file(), classic.folder());
        if (!summary || summary->writtenEventCount != 139) {
            state.SkipWithError("the import did not write 139 sounds");
            break;
        }
        state.PauseTiming();
        fs::remove_all(classic.folder() / "Bench Sounds.tintraset");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}
BENCHMARK(BM_ImportClassicFile139Sounds)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tintra
