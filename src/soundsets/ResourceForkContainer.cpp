#include "soundsets/ResourceForkContainer.h"

#include "soundsets/BigEndian.h"
#include "soundsets/ResourceForkError.h"

#include <algorithm>

namespace tintra {
namespace {

constexpr std::uint32_t appleSingleMagic = 0x00051600;
constexpr std::uint32_t appleDoubleMagic = 0x00051607;
constexpr std::uint32_t resourceForkEntryID = 2;
constexpr std::uint64_t macBinaryBlock = 128;

tl::unexpected<std::int32_t> fail(std::int32_t status)
{
    return tl::unexpected(status);
}

bool isAppleSingleOrDouble(std::span<const std::uint8_t> content)
{
    const auto magic = readU32(content, 0);
    return magic && (*magic == appleSingleMagic || *magic == appleDoubleMagic);
}

// Both versions share the layout: magic, version, 16 bytes of filler (or the
// home file system's name in version 1), the entry count, then 12-byte entries.
// The fork is found through the entry table only: FinderInfo entries are 32
// bytes in some writers and 70 in others.
tl::expected<TintraForkInContent, std::int32_t> appleSingleOrDoubleFork(std::span<const std::uint8_t> content)
{
    const auto version = readU32(content, 4);
    const auto entryCount = readU16(content, 24);
    if (!version || !entryCount || (*version != 0x00010000 && *version != 0x00020000))
        return fail(osStatus::mapReadErr);
    const auto container = readU32(content, 0) == appleSingleMagic ? TintraForkContainer::appleSingle
                                                                     : TintraForkContainer::appleDouble;
    for (std::uint64_t index = 0; index < *entryCount; ++index) {
        const std::uint64_t entry = 26 + index * 12;
        const auto id = readU32(content, entry);
        const auto offset = readU32(content, entry + 4);
        const auto length = readU32(content, entry + 8);
        if (!id || !offset || !length)
            return fail(osStatus::mapReadErr);
        if (*id != resourceForkEntryID)
            continue;
        if (!fitsInside(*offset, *length, content.size()))
            return fail(osStatus::mapReadErr);
        if (*length == 0)
            return fail(osStatus::eofErr);
        return TintraForkInContent { container, content.subspan(*offset, *length) };
    }
    return fail(osStatus::eofErr);
}

std::uint16_t crc16XModem(std::span<const std::uint8_t> bytes)
{
    std::uint16_t crc = 0;
    for (auto byte : bytes) {
        crc ^= std::uint16_t(byte << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? std::uint16_t(crc << 1 ^ 0x1021) : std::uint16_t(crc << 1);
    }
    return crc;
}

std::uint64_t paddedToBlock(std::uint64_t length)
{
    return (length + macBinaryBlock - 1) / macBinaryBlock * macBinaryBlock;
}

// The MacBinary version the 128-byte header claims, or nothing when it is no
// MacBinary header. II and III carry a CRC of the first 124 bytes; I has none,
// so its zero fields and plausible lengths are all there is to go on.
std::optional<TintraForkContainer> macBinaryVersion(std::span<const std::uint8_t> content)
{
    if (content.size() < macBinaryBlock)
        return std::nullopt;
    const auto header = content.first(macBinaryBlock);
    if (header[0] != 0 || header[74] != 0 || header[1] < 1 || header[1] > 63)
        return std::nullopt;
    const bool crcMatches = crc16XModem(header.first(124)) == *readU16(header, 124);
    if (crcMatches && std::equal(header.begin() + 102, header.begin() + 106, "mBIN"))
        return TintraForkContainer::macBinaryIII;
    if (crcMatches && header[82] == 0)
        return TintraForkContainer::macBinaryII;
    const bool zeroTail = std::all_of(header.begin() + 101, header.begin() + 126, [](auto byte) { return byte == 0; });
    if (header[82] == 0 && zeroTail && *readU32(header, 83) <= 0x7FFFFF && *readU32(header, 87) <= 0x7FFFFF)
        return TintraForkContainer::macBinaryI;
    return std::nullopt;
}

tl::expected<TintraForkInContent, std::int32_t> macBinaryFork(std::span<const std::uint8_t> content,
                                                              TintraForkContainer version)
{
    const std::uint64_t dataLength = *readU32(content, 83);
    const std::uint64_t forkLength = *readU32(content, 87);
    const std::uint64_t secondaryHeader = version == TintraForkContainer::macBinaryI ? 0 : *readU16(content, 120);
    const std::uint64_t forkOffset = macBinaryBlock + paddedToBlock(secondaryHeader) + paddedToBlock(dataLength);
    // The last fork's padding is often left off, so only the fork itself must fit.
    if (!fitsInside(forkOffset, forkLength, content.size()))
        return fail(osStatus::mapReadErr);
    if (forkLength == 0)
        return fail(osStatus::eofErr);
    return TintraForkInContent { version, content.subspan(forkOffset, forkLength) };
}

} // namespace

std::string_view containerName(TintraForkContainer container)
{
    switch (container) {
    case TintraForkContainer::rawFork: return "resource fork";
    case TintraForkContainer::appleSingle: return "AppleSingle";
    case TintraForkContainer::appleDouble: return "AppleDouble";
    case TintraForkContainer::appleDoubleCompanion: return "AppleDouble companion";
    case TintraForkContainer::macBinaryI: return "MacBinary I";
    case TintraForkContainer::macBinaryII: return "MacBinary II";
    case TintraForkContainer::macBinaryIII: return "MacBinary III";
    case TintraForkContainer::namedFork: return "named fork";
    case TintraForkContainer::extendedAttribute: return "extended attribute";
    }
    return {};
}

tl::expected<TintraForkInContent, std::int32_t> findResourceForkInContent(std::span<const std::uint8_t> content)
{
    if (isAppleSingleOrDouble(content))
        return appleSingleOrDoubleFork(content);
    if (const auto version = macBinaryVersion(content))
        return macBinaryFork(content, *version);
    if (content.empty())
        return fail(osStatus::eofErr);
    return TintraForkInContent { TintraForkContainer::rawFork, content };
}

tl::expected<TintraForkInContent, std::int32_t> findResourceForkInCompanion(std::span<const std::uint8_t> content)
{
    if (!isAppleSingleOrDouble(content))
        return fail(osStatus::eofErr);
    return appleSingleOrDoubleFork(content).map([](TintraForkInContent found) {
        found.container = TintraForkContainer::appleDoubleCompanion;
        return found;
    });
}

} // namespace tintra
