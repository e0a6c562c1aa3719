#pragma once

#include <cstdint>
#include <vector>

namespace tintra::standardset {

inline constexpr int kSampleRate = 44100;

using Samples = std::vector<double>;

// A small generator of our own, so that every build draws the same numbers
// whatever the standard library's engines do (splitmix64).
class Rng {
public:
    explicit Rng(std::uint64_t seed)
        : state_(seed)
    {
    }
    std::uint64_t next();
    // Uniform in [-1, 1).
    double bipolar();

private:
    std::uint64_t state_;
};

// Attack, then an exponential decay; every layer fades to silence over its
// last few milliseconds so that no sound ends on a step.
struct Envelope {
    double attack = 0.0003; // seconds
    double decay = 0.01; // time constant, seconds
    double length = 0.05; // seconds, the tail included
};

// One sine of a tone, at a ratio of the tone's frequency.
struct Partial {
    double ratio = 1.0;
    double gain = 1.0;
    double decayScale = 1.0; // higher partials usually die sooner
};

// A glide from `from` to `to` Hz, exponential over the layer's length.
struct Tone {
    double from = 440.0;
    double to = 440.0;
    std::vector<Partial> partials { Partial {} };
    Envelope envelope;
    double gain = 1.0;
};

// White noise shaped by the envelope, through a band-pass whose centre glides.
struct Noise {
    double from = 2000.0;
    double to = 2000.0;
    double q = 1.0;
    Envelope envelope;
    double gain = 1.0;
};

Samples render(const Tone& tone);
Samples render(const Noise& noise, Rng& rng);

// Adds `layer` into `out` starting at `offset` samples; with `wrap`, what runs
// past the end continues at the start, as a loop plays it.
void mixInto(Samples& out, const Samples& layer, std::size_t offset, bool wrap);

// One period of band-limited noise that repeats without a seam: the filter runs
// over the period until its state no longer depends on where it started.
Samples periodicNoise(std::size_t period, double centre, double q, Rng& rng);

// A frequency near `hz` that completes a whole number of cycles in `period` samples.
double periodicFrequency(double hz, std::size_t period);

std::size_t sampleCount(double seconds);

} // namespace tintra::standardset
