#include "Levels.h"

#include <algorithm>
#include <cmath>

namespace tintra::standardset {

double loudness(const Samples& samples)
{
    const std::size_t window = std::min(samples.size(), sampleCount(0.010));
    if (window == 0)
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < window; ++i)
        sum += samples[i] * samples[i];
    double loudest = sum;
    for (std::size_t i = window; i < samples.size(); ++i) {
        sum += samples[i] * samples[i] - samples[i - window] * samples[i - window];
        loudest = std::max(loudest, sum);
    }
    return std::sqrt(std::max(0.0, loudest) / double(window));
}

double peak(const Samples& samples)
{
    double highest = 0.0;
    for (double sample : samples)
        highest = std::max(highest, std::abs(sample));
    return highest;
}

double decibels(double linear) { return 20.0 * std::log10(linear); }

double targetLoudnessDB(TintraSoundCategory category, SoundRole role)
{
    // Clicks and ticks are short, so they stand a little louder than swishes.
    const double main = category == TintraSoundCategory::control ? -17.0 : -19.0;
    switch (role) {
    case SoundRole::main:
        return main;
    case SoundRole::soft:
        return main - 10.0;
    case SoundRole::loop:
        return main - 9.0;
    }
    return main;
}

Samples leveled(const Samples& samples, TintraSoundCategory category, SoundRole role)
{
    const double measured = loudness(samples);
    if (measured <= 0.0)
        return samples;
    const double ceiling = std::pow(10.0, kPeakCeilingDB / 20.0);
    const double gain
        = std::min(std::pow(10.0, targetLoudnessDB(category, role) / 20.0) / measured, ceiling / peak(samples));
    Samples out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [&](double sample) { return sample * gain; });
    return out;
}

std::vector<std::int16_t> toPcm16(const Samples& samples)
{
    std::vector<std::int16_t> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(),
        [](double sample) { return std::int16_t(std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0)); });
    return out;
}

} // namespace tintra::standardset
