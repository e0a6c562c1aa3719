#include "soundsets/ResourceFork.h"

#include "soundsets/BigEndian.h"
#include "support/MacRoman.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>

namespace tintra {
namespace {

constexpr std::uint64_t headerSize = 16;
constexpr std::uint64_t mapHeaderSize = 28;
constexpr std::uint64_t typeEntrySize = 8;
constexpr std::uint64_t referenceSize = 12;
constexpr std::uint16_t noName = 0xFFFF;
constexpr std::uint8_t compressedAttribute = 0x01;

tl::unexpected<TintraResourceForkError> unreadable(std::int32_t status)
{
    return tl::unexpected(TintraResourceForkError { TintraResourceForkError::Case::noReadableFork, status });
}

// Stored counts are one less than the count, so 0xFFFF means none.
std::uint64_t storedCount(std::uint16_t stored)
{
    return std::uint16_t(stored + 1);
}

struct ForkLayout {
    std::span<const std::uint8_t> data;
    std::span<const std::uint8_t> map;
    std::uint64_t typeList;
    std::uint64_t nameList;
};

tl::expected<ForkLayout, TintraResourceForkError> readLayout(std::span<const std::uint8_t> fork)
{
    if (fork.size() < headerSize)
        return unreadable(osStatus::eofErr);
    const std::uint64_t dataOffset = *readU32(fork, 0);
    const std::uint64_t mapOffset = *readU32(fork, 4);
    const std::uint64_t dataLength = *readU32(fork, 8);
    const std::uint64_t mapLength = *readU32(fork, 12);
    if (!fitsInside(dataOffset, dataLength, fork.size()) || !fitsInside(mapOffset, mapLength, fork.size())
        || mapLength < mapHeaderSize + 2)
        return unreadable(osStatus::mapReadErr);
    const bool overlap = dataOffset < mapOffset + mapLength && mapOffset < dataOffset + dataLength;
    if (overlap)
        return unreadable(osStatus::mapReadErr);
    const auto map = fork.subspan(mapOffset, mapLength);
    return ForkLayout { fork.subspan(dataOffset, dataLength), map, *readU16(map, 24), *readU16(map, 26) };
}

std::optional<std::optional<std::string>> readName(const ForkLayout& layout, std::uint16_t nameOffset)
{
    if (nameOffset == noName)
        return std::optional<std::string>();
    const std::uint64_t start = layout.nameList + nameOffset;
    const auto length = readU8(layout.map, start);
    if (!length || !fitsInside(start + 1, *length, layout.map.size()))
        return std::nullopt;
    if (*length == 0)
        return std::optional<std::string>();
    return std::optional<std::string>(decodeMacRoman(layout.map.subspan(std::size_t(start + 1), *length)));
}

// Budgets that no undamaged fork exceeds: its resources' bytes never overlap,
// and neither do its reference lists. A map whose entries share them could
// otherwise make a small file expand into gigabytes.
struct Budget {
    std::uint64_t dataBytes;
    std::uint64_t references;
};

} // namespace

std::string resourceTypeString(std::span<const std::uint8_t, 4> code)
{
    const bool isText = std::none_of(code.begin(), code.end(), [](auto byte) { return byte < 0x20 || byte == 0x7F; });
    return isText ? decodeMacRoman(code) : "????";
}

std::string TintraResource::description() const
{
    return fmt::format("<TintraResource id={} name={} bytes={}>", identifier, name.value_or("(none)"), data.size());
}

tl::expected<TintraResourceFork, TintraResourceForkError> TintraResourceFork::parse(
    std::span<const std::uint8_t> fork, TintraForkContainer container)
{
    const auto layout = readLayout(fork);
    if (!layout)
        return tl::unexpected(layout.error());
    const auto typeCount = readU16(layout->map, layout->typeList);
    if (!typeCount)
        return unreadable(osStatus::mapReadErr);

    TintraResourceFork result;
    result.container_ = container;
    Budget budget { layout->data.size(), layout->map.size() / referenceSize };
    for (std::uint64_t typeIndex = 0; typeIndex < storedCount(*typeCount); ++typeIndex) {
        const std::uint64_t typeEntry = layout->typeList + 2 + typeIndex * typeEntrySize;
        if (!fitsInside(typeEntry, typeEntrySize, layout->map.size()))
            return unreadable(osStatus::mapReadErr);
        const auto type = resourceTypeString(layout->map.subspan(std::size_t(typeEntry)).first<4>());
        const std::uint64_t resourceCount = storedCount(*readU16(layout->map, typeEntry + 4));
        const std::uint64_t referenceList = layout->typeList + *readU16(layout->map, typeEntry + 6);
        if (resourceCount > budget.references)
            return unreadable(osStatus::mapReadErr);
        budget.references -= resourceCount;

        auto [slot, isNew] = result.resourcesByType_.try_emplace(type);
        if (isNew)
            result.types_.push_back(type);
        for (std::uint64_t index = 0; index < resourceCount; ++index) {
            const std::uint64_t reference = referenceList + index * referenceSize;
            if (!fitsInside(reference, referenceSize, layout->map.size()))
                continue;
            const auto name = readName(*layout, *readU16(layout->map, reference + 2));
            const std::uint64_t dataOffset = *readU24(layout->map, reference + 5);
            const auto length = readU32(layout->data, dataOffset);
            if (!name || !length || !fitsInside(dataOffset + 4, *length, layout->data.size()) || *length > budget.dataBytes)
                continue;
            budget.dataBytes -= *length;
            const auto bytes = layout->data.subspan(std::size_t(dataOffset + 4), *length);
            slot->second.push_back(TintraResource {
                std::int16_t(*readU16(layout->map, reference)),
                *name,
                Bytes(bytes.begin(), bytes.end()),
                (*readU8(layout->map, reference + 4) & compressedAttribute) != 0,
            });
        }
    }
    if (result.types_.empty())
        return tl::unexpected(TintraResourceForkError { TintraResourceForkError::Case::emptyFork, osStatus::eofErr });
    return result;
}

std::span<const TintraResource> TintraResourceFork::resourcesOfType(std::string_view type) const
{
    auto code = encodeMacRoman(type);
    if (!code || code->empty() || code->size() > 4)
        return {};
    code->resize(4, ' ');
    const auto found = resourcesByType_.find(resourceTypeString(std::span<const std::uint8_t, 4>(code->data(), 4)));
    if (found == resourcesByType_.end())
        return {};
    return found->second;
}

} // namespace tintra
