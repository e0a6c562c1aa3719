#include "platform/linux/pulse/DecodedSound.h"

#include <sndfile.h>
#include <soxr.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <system_error>

#include <unistd.h>

namespace tintra {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

AudioOpenError openError(const std::filesystem::path& url)
{
    std::error_code error;
    const auto status = std::filesystem::status(url, error);
    if (error || !std::filesystem::exists(status))
        return { AudioOpenError::Case::unreadable, url, "No such file or directory." };
    if (!std::filesystem::is_regular_file(status))
        return { AudioOpenError::Case::unreadable, url, "Not a file." };
    if (::access(url.c_str(), R_OK) != 0)
        return { AudioOpenError::Case::unreadable, url, std::string(std::strerror(errno)) + "." };
    return { AudioOpenError::Case::unsupportedFormat, url, sf_strerror(nullptr) };
}

// All frames, read until the decoder stops: a header's frame count is not
// trusted (compressed and streamed formats often lack one).
std::vector<float> readAll(SNDFILE* file, int channels)
{
    constexpr sf_count_t chunkFrames = 16384;
    std::vector<float> samples;
    for (;;) {
        const std::size_t at = samples.size();
        samples.resize(at + std::size_t(chunkFrames) * std::size_t(channels));
        const sf_count_t got = sf_readf_float(file, samples.data() + at, chunkFrames);
        samples.resize(at + std::size_t(got > 0 ? got : 0) * std::size_t(channels));
        if (got < chunkFrames)
            return samples;
    }
}

std::vector<float> firstTwoChannels(const std::vector<float>& samples, int channels)
{
    const std::size_t frames = samples.size() / std::size_t(channels);
    std::vector<float> stereo(frames * 2);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        stereo[frame * 2] = samples[frame * std::size_t(channels)];
        stereo[frame * 2 + 1] = samples[frame * std::size_t(channels) + 1];
    }
    return stereo;
}

tl::expected<std::vector<float>, std::string> resample(const std::vector<float>& samples, int channels, int fromRate, int toRate)
{
    const std::size_t inFrames = samples.size() / std::size_t(channels);
    const auto outFrames = std::size_t(std::ceil(double(inFrames) * toRate / fromRate)) + 1;
    std::vector<float> out(outFrames * std::size_t(channels));
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    std::size_t done = 0;
    const soxr_error_t error = soxr_oneshot(fromRate, toRate, unsigned(channels), samples.data(), inFrames, nullptr,
        out.data(), outFrames, &done, &io, &quality, nullptr);
    if (error)
        return tl::unexpected(std::string(error));
    out.resize(done * std::size_t(channels));
    return out;
}

} // namespace

tl::expected<std::shared_ptr<const DecodedSound>, AudioOpenError>
decodeSound(const std::filesystem::path& url, int outputRate)
{
    SF_INFO info {};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(url.c_str(), SFM_READ, &info));
    if (!file)
        return tl::unexpected(openError(url));
    if (info.channels < 1 || info.samplerate < 1)
        return tl::unexpected(AudioOpenError { AudioOpenError::Case::unsupportedFormat, url, "The file has no channels." });

    std::vector<float> samples = readAll(file.get(), info.channels);
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
        return tl::unexpected(AudioOpenError { AudioOpenError::Case::unsupportedFormat, url, sf_strerror(file.get()) });
    int channels = info.channels;
    if (channels > 2) {
        samples = firstTwoChannels(samples, channels);
        channels = 2;
    }
    if (info.samplerate != outputRate && !samples.empty()) {
        auto converted = resample(samples, channels, info.samplerate, outputRate);
        if (!converted)
            return tl::unexpected(AudioOpenError { AudioOpenError::Case::conversionFailed, url, converted.error() });
        samples = std::move(*converted);
    }
    if (samples.empty())
        return tl::unexpected(AudioOpenError { AudioOpenError::Case::empty, url, {} });

    auto sound = std::make_shared<DecodedSound>();
    sound->channels = channels;
    sound->frames = samples.size() / std::size_t(channels);
    sound->samples = std::move(samples);
    return sound;
}

} // namespace tintra
