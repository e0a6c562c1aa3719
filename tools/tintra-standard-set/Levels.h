#pragma once

#include "SoundDesign.h"
#include "Synth.h"

#include "catalogue/SoundCategory.h"

#include <cstdint>
#include <vector>

namespace tintra::standardset {

// No sample of the set rises above this, in dBFS.
inline constexpr double kPeakCeilingDB = -1.2;

// Loudness as the ear meets short sounds: the highest RMS over any 10 ms, linear.
double loudness(const Samples& samples);
double peak(const Samples& samples);
double decibels(double linear);

// The loudness every sound of a category and role is brought to, in dBFS.
double targetLoudnessDB(TintraSoundCategory category, SoundRole role);

// Scaled to its target; a sound whose peak would pass the ceiling is held at
// the ceiling instead.
Samples leveled(const Samples& samples, TintraSoundCategory category, SoundRole role);

// Rounded to 16 bits; values are expected within the ceiling.
std::vector<std::int16_t> toPcm16(const Samples& samples);

} // namespace tintra::standardset
