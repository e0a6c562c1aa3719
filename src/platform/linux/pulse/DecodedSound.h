#pragma once

#include "playback/AudioOutput.h"

#include <tl/expected.hpp>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <vector>

namespace tintra {

// A whole sound in memory at the output's rate: one channel or two,
// interleaved 32-bit float samples. Immutable once made, so the render thread
// reads it without a lock.
struct DecodedSound {
    int channels = 1;
    std::size_t frames = 0;
    std::vector<float> samples;
};

// Reads every format libsndfile reads (WAV, AIFF, AIFC, CAF, FLAC, Ogg, MP3 …)
// and converts it to `outputRate` with libsoxr. More than two channels keep
// the first two, as left and right.
tl::expected<std::shared_ptr<const DecodedSound>, AudioOpenError>
decodeSound(const std::filesystem::path& url, int outputRate);

} // namespace tintra
