#pragma once

#include "support/Bytes.h"

#include <cstdint>

namespace tintra {

// Everything of a Core Audio Format file before its samples: the file header,
// the audio description (16-bit signed little-endian interleaved linear PCM)
// and the head of the data chunk. The rate is stored as a 64-bit float, so a
// classic rate such as 22254.5454… Hz is kept exactly.
Bytes cafHeader(double sampleRate, std::uint32_t channelCount, std::uint64_t frameCount);

} // namespace tintra
