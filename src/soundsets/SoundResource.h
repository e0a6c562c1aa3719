#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tintra {

// The 16-bit PCM of one 'snd ' resource.
struct TintraDecodedSound {
    std::vector<std::int16_t> samples;  // interleaved, frame after frame
    std::uint32_t channelCount = 1;     // at least 1
    double sampleRate = 0;              // frames per second, as stored (0 is passed on)

    friend bool operator==(const TintraDecodedSound&, const TintraDecodedSound&) = default;
};

// The offset of the sound header that the resource's last play-from-header
// (80) or buffer (81) command names, in a format 1 or 2 resource; nothing when
// there is none or fewer than 22 bytes of it are present.
std::optional<std::size_t> findSoundHeader(std::span<const std::uint8_t> resource);

// Decodes standard (8-bit mono), extended (8- or 16-bit, any channel count)
// and mu-law compressed headers; nothing for any other form (IMA 4:1, MACE,
// missing or empty sample data). Truncated sample data gives the samples present.
std::optional<TintraDecodedSound> decodeSoundResource(std::span<const std::uint8_t> resource);

// G.711 mu-law expansion of every byte to 16 bits.
const std::array<std::int16_t, 256>& muLawTable();

} // namespace tintra
