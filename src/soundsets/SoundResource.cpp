#include "soundsets/SoundResource.h"

#include "soundsets/BigEndian.h"

#include <algorithm>

namespace tintra {
namespace {

constexpr std::uint16_t playFromHeaderCommand = 80;  // soundCmd
constexpr std::uint16_t bufferCommand = 81;          // bufferCmd
constexpr std::uint64_t commandSize = 8;
constexpr std::uint64_t modifierSize = 6;
constexpr std::uint64_t minimumHeaderSize = 22;
constexpr std::uint64_t standardSamplesOffset = 22;
constexpr std::uint64_t extendedSamplesOffset = 64;

enum class HeaderKind : std::uint8_t { standard = 0x00, extended = 0xFF, compressed = 0xFE };

std::optional<std::uint64_t> commandCountOffset(std::span<const std::uint8_t> resource)
{
    const auto format = readU16(resource, 0);
    if (format == 2)
        return 4;
    if (format != 1)
        return std::nullopt;
    const auto modifiers = readU16(resource, 2);
    if (!modifiers)
        return std::nullopt;
    return 4 + modifierSize * *modifiers;
}

std::int16_t fromUnsigned8(std::uint8_t byte)
{
    return std::int16_t((int(byte) - 128) * 256);
}

std::vector<std::int16_t> unsigned8Samples(std::span<const std::uint8_t> bytes)
{
    std::vector<std::int16_t> samples;
    samples.reserve(bytes.size());
    for (auto byte : bytes)
        samples.push_back(fromUnsigned8(byte));
    return samples;
}

std::vector<std::int16_t> bigEndian16Samples(std::span<const std::uint8_t> bytes)
{
    std::vector<std::int16_t> samples;
    samples.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        samples.push_back(std::int16_t(std::uint16_t(bytes[i] << 8 | bytes[i + 1])));
    return samples;
}

std::vector<std::int16_t> muLawSamples(std::span<const std::uint8_t> bytes)
{
    const auto& table = muLawTable();
    std::vector<std::int16_t> samples;
    samples.reserve(bytes.size());
    for (auto byte : bytes)
        samples.push_back(table[byte]);
    return samples;
}

// The sample bytes after `start`, at most `wanted` of them.
std::span<const std::uint8_t> sampleBytes(std::span<const std::uint8_t> resource, std::uint64_t start, std::uint64_t wanted)
{
    if (start >= resource.size())
        return {};
    return resource.subspan(std::size_t(start), std::size_t(std::min<std::uint64_t>(wanted, resource.size() - start)));
}

std::optional<std::vector<std::int16_t>> extendedSamples(std::span<const std::uint8_t> resource, std::uint64_t header,
                                                         std::uint64_t total)
{
    const auto sampleSize = readU16(resource, header + 48);
    if (!sampleSize)
        return std::nullopt;
    const std::uint64_t start = header + extendedSamplesOffset;
    const std::uint64_t remaining = start < resource.size() ? resource.size() - start : 0;
    const bool sixteenBit = *sampleSize == 16 || (*sampleSize == 0 && remaining / 2 >= total);
    if (sixteenBit)
        return bigEndian16Samples(sampleBytes(resource, start, std::min(total, remaining / 2) * 2));
    if (*sampleSize == 8 || *sampleSize == 0)
        return unsigned8Samples(sampleBytes(resource, start, total));
    return std::nullopt;
}

std::optional<std::vector<std::int16_t>> compressedSamples(std::span<const std::uint8_t> resource, std::uint64_t header,
                                                           std::uint64_t total)
{
    const auto format = readU32(resource, header + 40);
    if (format != 0x756C6177)  // 'ulaw'
        return std::nullopt;
    return muLawSamples(sampleBytes(resource, header + extendedSamplesOffset, total));
}

} // namespace

const std::array<std::int16_t, 256>& muLawTable()
{
    static const auto table = [] {
        std::array<std::int16_t, 256> expanded {};
        for (int byte = 0; byte < 256; ++byte) {
            const int complemented = ~byte & 0xFF;
            const int exponent = (complemented >> 4) & 0x07;
            const int mantissa = complemented & 0x0F;
            const int magnitude = (((mantissa << 3) + 0x84) << exponent) - 0x84;
            expanded[std::size_t(byte)] = std::int16_t((complemented & 0x80) ? -magnitude : magnitude);
        }
        return expanded;
    }();
    return table;
}

std::optional<std::size_t> findSoundHeader(std::span<const std::uint8_t> resource)
{
    const auto countOffset = commandCountOffset(resource);
    if (!countOffset)
        return std::nullopt;
    const auto commandCount = readU16(resource, *countOffset);
    if (!commandCount || *commandCount == 0)
        return std::nullopt;
    std::optional<std::uint64_t> header;
    for (std::uint64_t index = 0; index < *commandCount; ++index) {
        const std::uint64_t command = *countOffset + 2 + index * commandSize;
        if (!fitsInside(command, commandSize, resource.size()))
            break;
        const auto value = *readU16(resource, command) & 0x7FFF;
        if (value == playFromHeaderCommand || value == bufferCommand)
            header = *readU32(resource, command + 4);
    }
    if (!header || !fitsInside(*header, minimumHeaderSize, resource.size()))
        return std::nullopt;
    return std::size_t(*header);
}

std::optional<TintraDecodedSound> decodeSoundResource(std::span<const std::uint8_t> resource)
{
    if (resource.empty())
        return std::nullopt;
    const auto header = findSoundHeader(resource);
    if (!header)
        return std::nullopt;
    const auto kind = HeaderKind(resource[*header + 20]);
    const std::uint32_t countOrChannels = *readU32(resource, *header + 4);
    TintraDecodedSound sound;
    sound.sampleRate = *readU32(resource, *header + 8) / 65536.0;

    if (kind == HeaderKind::standard) {
        sound.samples = unsigned8Samples(sampleBytes(resource, *header + standardSamplesOffset, countOrChannels));
    } else if (kind == HeaderKind::extended || kind == HeaderKind::compressed) {
        sound.channelCount = std::max<std::uint32_t>(countOrChannels, 1);
        const auto frames = readU32(resource, *header + 22);
        if (!frames)
            return std::nullopt;
        const std::uint64_t total = std::uint64_t(*frames) * sound.channelCount;
        auto samples = kind == HeaderKind::extended ? extendedSamples(resource, *header, total)
                                                    : compressedSamples(resource, *header, total);
        if (!samples)
            return std::nullopt;
        sound.samples = std::move(*samples);
    } else {
        return std::nullopt;
    }
    if (sound.samples.empty())
        return std::nullopt;
    return sound;
}

} // namespace tintra
