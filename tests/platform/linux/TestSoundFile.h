#pragma once

#include <sndfile.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace tintra {

// Writes interleaved float samples as a 32-bit float WAV file, so that what
// the decoder reads back is bit for bit what was written.
inline void writeTestSoundFile(const std::filesystem::path& url, const std::vector<float>& samples, int channels, int rate)
{
    SF_INFO info {};
    info.channels = channels;
    info.samplerate = rate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(url.c_str(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error(sf_strerror(nullptr));
    sf_writef_float(file, samples.data(), sf_count_t(samples.size() / std::size_t(channels)));
    sf_close(file);
}

// A ramp that never repeats a value within `frames`, so that a shifted or
// repeated frame shows.
inline std::vector<float> rampSamples(std::size_t frames, int channels)
{
    std::vector<float> samples(frames * std::size_t(channels));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(i + 1) / float(samples.size() + 1) * (i % 2 ? -1.0f : 1.0f);
    return samples;
}

} // namespace tintra
