#pragma once

#include "catalogue/SoundID.h"
#include "support/Bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Builds classic files byte by byte, so that the tests need no sample files.
namespace tintra::testing {

struct ForkEntry {
    std::string type;  // four Mac OS Roman characters
    std::int16_t identifier = 0;
    std::optional<std::string> name;
    Bytes data;
    std::uint8_t attributes = 0;
};

// A resource fork: data at 256, the map after it, types in first-seen order.
Bytes resourceFork(const std::vector<ForkEntry>& entries);

// Offsets inside what resourceFork() writes, for tests that damage it.
struct ForkLayout {
    std::uint32_t dataOffset;
    std::uint32_t mapOffset;
    std::uint32_t typeList;  // from the start of the fork
};
ForkLayout layoutOf(const Bytes& fork);

Bytes appleDouble(const Bytes& fork, std::size_t finderInfoSize = 32, std::uint32_t version = 0x00020000);
Bytes appleSingle(const Bytes& dataFork, const Bytes& fork, std::uint32_t version = 0x00020000);

enum class MacBinaryVersion { one, two, three };
Bytes macBinary(const std::string& name, const Bytes& dataFork, const Bytes& fork, MacBinaryVersion version);

// Sound headers; the sample rate as 16.16 fixed point.
Bytes standardHeader(const Bytes& sampleBytes, std::uint32_t rate, std::optional<std::uint32_t> declaredCount = std::nullopt);
Bytes extendedHeader(std::uint32_t channels, std::uint32_t frames, std::uint16_t sampleSize, std::uint32_t rate,
                     const Bytes& sampleBytes);
Bytes compressedHeader(const std::string& format, std::uint32_t channels, std::uint32_t frames, std::uint32_t rate,
                       const Bytes& sampleBytes);

// A 'snd ' resource around a header: format 1 with `modifiers` modifier
// entries, or format 2, and one command naming the header.
Bytes soundFormat1(const Bytes& header, std::uint16_t command = 0x8051, std::uint16_t modifiers = 1);
Bytes soundFormat2(const Bytes& header, std::uint16_t command = 0x8050);

// A 'snd#' sound list whose entries are `entrySize` bytes: the sound ID, then
// the slots where the reader looks for them.
Bytes soundList(const std::vector<std::pair<TintraSoundID, std::vector<std::int16_t>>>& entries, std::size_t entrySize);

// A 'vers' resource: 6 bytes of numbers, then the two Pascal strings.
Bytes versionResource(const std::string& shortText, const std::string& longText);

Bytes bigEndian16(const std::vector<std::int16_t>& samples);
void put16(Bytes& bytes, std::size_t offset, std::uint32_t value);
void put32(Bytes& bytes, std::size_t offset, std::uint32_t value);

} // namespace tintra::testing
