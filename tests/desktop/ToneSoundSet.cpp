#include "desktop/ToneSoundSet.h"

#include "catalogue/Catalogue.h"
#include "fakes/SoundSetFiles.h"
#include "platform/linux/TestSoundFile.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "support/DefaultsFile.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace tintra::testing {

namespace {

constexpr int rate = 48000;
// Hann-windowed Goertzel over 40 ms, every 20 ms: 25 Hz bins, so a tone 60 Hz
// away lies outside the main lobe and its leakage stays far below the threshold.
constexpr std::size_t window = 1920;
constexpr std::size_t hop = window / 2;
constexpr double firstFrequency = 400;
constexpr double frequencyStep = 60;
constexpr double loudLevel = 0.03;
constexpr int minimumWindows = 3;

std::size_t indexOf(TintraSoundID sound)
{
    const auto& rows = listedCatalogue();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].soundID == sound)
            return i;
    return rows.size();
}

// The amplitude of one frequency over a window of one channel.
double goertzel(const std::vector<float>& interleaved, std::size_t offset, std::size_t channel, double frequency)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < window; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(window - 1));
        const double s0 = hann * interleaved[(offset + i) * 2 + channel] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    // The Hann window passes half of a steady tone.
    return 4 * std::sqrt(std::max(power, 0.0)) / double(window);
}

} // namespace

double toneFrequency(TintraSoundID sound)
{
    return firstFrequency + frequencyStep * double(indexOf(sound));
}

std::filesystem::path writeToneSoundSet(const std::filesystem::path& folder, const std::string& identifier)
{
    std::vector<std::string> names;
    for (const auto& row : listedCatalogue())
        names.emplace_back(row.fileName);
    const auto bundle = folder / (identifier + ".tintraset");
    writeBundle(bundle, identifier, "Tones", names);
    const auto frames = std::size_t(toneSeconds * rate);
    for (const auto& row : listedCatalogue()) {
        std::vector<float> samples(frames);
        const double frequency = toneFrequency(row.soundID);
        const std::size_t fade = rate / 200; // 5 ms in and out, so the edges do not click
        for (std::size_t i = 0; i < frames; ++i) {
            const double edge = std::min({ 1.0, double(i) / fade, double(frames - 1 - i) / fade });
            samples[i] = float(0.3 * edge * std::sin(2 * std::numbers::pi * frequency * double(i) / rate));
        }
        writeTestSoundFile(bundle / "Contents" / "Resources" / std::string(row.fileName), samples, 1, rate);
    }
    return bundle;
}

std::vector<HeardTone> heardTones(const std::vector<SinkRecorder::Chunk>& chunks)
{
    std::vector<float> samples;
    std::vector<std::chrono::steady_clock::time_point> arrivals; // per frame
    for (const auto& chunk : chunks) {
        samples.insert(samples.end(), chunk.samples.begin(), chunk.samples.end());
        arrivals.insert(arrivals.end(), chunk.samples.size() / 2, chunk.arrived);
    }
    struct Sum {
        HeardTone tone;
        int windows = 0;
    };
    // A tone fills six windows in a row; a click or a gap in the recording splashes into one or
    // two, which may add up over a whole recording, so only windows in runs count.
    struct Run {
        std::chrono::steady_clock::time_point start;
        double left = 0, right = 0;
        int windows = 0;
    };
    std::map<std::size_t, Sum> found;
    const auto& rows = listedCatalogue();
    std::vector<Run> runs(rows.size());
    // A run that ends counts when it was long enough.
    const auto end = [&](std::size_t index) {
        auto& run = runs[index];
        if (run.windows >= minimumWindows) {
            auto [entry, isNew] = found.try_emplace(index, Sum { { rows[index].soundID, run.start } });
            entry->second.tone.left += run.left;
            entry->second.tone.right += run.right;
            entry->second.windows += run.windows;
        }
        run = {};
    };
    for (std::size_t offset = 0; offset + window <= arrivals.size(); offset += hop) {
        double energy = 0;
        for (std::size_t i = 0; i < window * 2; ++i)
            energy += std::abs(samples[offset * 2 + i]);
        if (energy / double(window * 2) < loudLevel / 4) {
            for (std::size_t index = 0; index < rows.size(); ++index)
                end(index); // silence: no need to look for every tone
            continue;
        }
        std::vector<std::pair<double, double>> levels(rows.size());
        double strongest = 0;
        for (std::size_t index = 0; index < rows.size(); ++index) {
            const double frequency = firstFrequency + frequencyStep * double(index);
            levels[index] = { goertzel(samples, offset, 0, frequency), goertzel(samples, offset, 1, frequency) };
            strongest = std::max({ strongest, levels[index].first, levels[index].second });
        }
        // A tone's edges splash into its neighbours' bins; they stay well below it.
        const double threshold = std::max(loudLevel, strongest * 0.4);
        for (std::size_t index = 0; index < rows.size(); ++index) {
            const auto [left, right] = levels[index];
            if (std::max(left, right) < threshold) {
                end(index);
                continue;
            }
            auto& run = runs[index];
            if (run.windows == 0)
                run.start = arrivals[offset];
            run.left += left;
            run.right += right;
            ++run.windows;
        }
    }
    for (std::size_t index = 0; index < rows.size(); ++index)
        end(index);
    std::vector<HeardTone> tones;
    for (auto& [index, sum] : found) {
        sum.tone.left /= sum.windows;
        sum.tone.right /= sum.windows;
        tones.push_back(sum.tone);
    }
    std::sort(tones.begin(), tones.end(), [](const auto& a, const auto& b) { return a.start < b.start; });
    return tones;
}

void prepareToneUser()
{
    const std::string identifier = "org.tintradorvel.test.tones";
    writeToneSoundSet(standardLibraryDirectory(), identifier);
    DefaultsFile settings(DefaultsFile::standardFolder(), DefaultsFile::standardDomain());
    settings.set("TintraPlaysNotificationSounds", true);
    settings.set("TintraBaselineSetIdentifier", identifier);
    settings.set("TintraDorvelLaunchCount", 20);
}

} // namespace tintra::testing
