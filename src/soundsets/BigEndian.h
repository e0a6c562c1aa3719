#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tintra {

// Bounds-checked big-endian reads: nothing when the value does not lie wholly
// inside the bytes. Offsets are 64-bit so that sums of stored fields cannot wrap.
inline std::optional<std::uint32_t> readBigEndian(std::span<const std::uint8_t> bytes, std::uint64_t offset, unsigned width)
{
    if (offset > bytes.size() || bytes.size() - offset < width)
        return std::nullopt;
    std::uint32_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value = value << 8 | bytes[std::size_t(offset) + i];
    return value;
}

inline std::optional<std::uint8_t> readU8(std::span<const std::uint8_t> bytes, std::uint64_t offset)
{
    if (offset >= bytes.size())
        return std::nullopt;
    return bytes[std::size_t(offset)];
}

inline std::optional<std::uint16_t> readU16(std::span<const std::uint8_t> bytes, std::uint64_t offset)
{
    auto value = readBigEndian(bytes, offset, 2);
    if (!value)
        return std::nullopt;
    return std::uint16_t(*value);
}

inline std::optional<std::uint32_t> readU24(std::span<const std::uint8_t> bytes, std::uint64_t offset)
{
    return readBigEndian(bytes, offset, 3);
}

inline std::optional<std::uint32_t> readU32(std::span<const std::uint8_t> bytes, std::uint64_t offset)
{
    return readBigEndian(bytes, offset, 4);
}

// Whether [offset, offset + length) lies inside a region of `size` bytes.
inline bool fitsInside(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

} // namespace tintra
