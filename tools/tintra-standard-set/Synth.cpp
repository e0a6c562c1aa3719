#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tintra::standardset {
namespace {

constexpr double kEndFade = 0.004; // seconds

double endFade(double length, double t)
{
    const double fadeStart = length - kEndFade;
    return t <= fadeStart ? 1.0 : 0.5 * (1.0 + std::cos(std::numbers::pi * std::min(1.0, (t - fadeStart) / kEndFade)));
}

double envelopeAt(const Envelope& envelope, double decay, double t)
{
    const double rise = envelope.attack > 0 && t < envelope.attack ? t / envelope.attack : 1.0;
    const double fall = std::exp(-std::max(0.0, t - envelope.attack) / decay);
    return rise * fall * endFade(envelope.length, t);
}

double glide(double from, double to, double t, double length)
{
    return from * std::pow(to / from, std::min(1.0, t / length));
}

// Band-pass with a peak gain of one, so a glide does not change the level.
class BandPass {
public:
    void tune(double centre, double q)
    {
        const double w0 = 2.0 * std::numbers::pi * std::min(centre, 0.45 * kSampleRate) / kSampleRate;
        const double alpha = std::sin(w0) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        b0_ = alpha / a0;
        a1_ = -2.0 * std::cos(w0) / a0;
        a2_ = (1.0 - alpha) / a0;
    }
    double process(double x)
    {
        const double y = b0_ * (x - x2_) - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

} // namespace

std::uint64_t Rng::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::bipolar() { return double(next() >> 11) * 0x1.0p-52 - 1.0; }

std::size_t sampleCount(double seconds) { return std::size_t(std::lround(seconds * kSampleRate)); }

Samples render(const Tone& tone)
{
    Samples out(sampleCount(tone.envelope.length), 0.0);
    for (const auto& partial : tone.partials) {
        const double decay = tone.envelope.decay * partial.decayScale;
        double phase = 0.0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = double(i) / kSampleRate;
            out[i] += tone.gain * partial.gain * envelopeAt(tone.envelope, decay, t) * std::sin(phase);
            phase += 2.0 * std::numbers::pi * partial.ratio * glide(tone.from, tone.to, t, tone.envelope.length)
                / kSampleRate;
            phase = std::fmod(phase, 2.0 * std::numbers::pi);
        }
    }
    return out;
}

Samples render(const Noise& noise, Rng& rng)
{
    Samples out(sampleCount(noise.envelope.length), 0.0);
    BandPass filter;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kSampleRate;
        filter.tune(glide(noise.from, noise.to, t, noise.envelope.length), noise.q);
        const double excitation = rng.bipolar() * envelopeAt(noise.envelope, noise.envelope.decay, t);
        // The ring after the excitation is faded with the layer, not cut.
        out[i] = noise.gain * filter.process(excitation) * endFade(noise.envelope.length, t);
    }
    return out;
}

void mixInto(Samples& out, const Samples& layer, std::size_t offset, bool wrap)
{
    if (out.empty())
        return;
    for (std::size_t i = 0; i < layer.size(); ++i) {
        std::size_t at = offset + i;
        if (at >= out.size()) {
            if (!wrap)
                break;
            at %= out.size();
        }
        out[at] += layer[i];
    }
}

Samples periodicNoise(std::size_t period, double centre, double q, Rng& rng)
{
    Samples white(period);
    for (auto& sample : white)
        sample = rng.bipolar();
    BandPass filter;
    filter.tune(centre, q);
    Samples out(period);
    for (int pass = 0; pass < 3; ++pass)
        for (std::size_t i = 0; i < period; ++i)
            out[i] = filter.process(white[i]);
    return out;
}

double periodicFrequency(double hz, std::size_t period)
{
    const double cycles = std::max(1.0, std::round(hz * double(period) / kSampleRate));
    return cycles * kSampleRate / double(period);
}

} // namespace tintra::standardset
