#pragma once

#include <tl/expected.hpp>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tintra {

// Where a file's resource fork was found. Linux files have no fork of their
// own, so it comes from whichever container carries it.
enum class TintraForkContainer {
    rawFork,               // the file is a bare resource fork (".rsrc")
    appleSingle,           // both forks in one AppleSingle file
    appleDouble,           // the file is an AppleDouble header file
    appleDoubleCompanion,  // "._NAME" beside NAME
    macBinaryI,
    macBinaryII,
    macBinaryIII,
    namedFork,             // NAME/..namedfork/rsrc or NAME/rsrc (hfsplus)
    extendedAttribute,     // com.apple.ResourceFork and its kin
};

// "AppleDouble", "MacBinary II", "resource fork", … for people reading `tintra-set info`.
std::string_view containerName(TintraForkContainer container);

struct TintraForkInContent {
    TintraForkContainer container;
    std::span<const std::uint8_t> fork;  // points into the content
};

// Finds the resource fork inside a file's bytes, by content alone: AppleSingle
// and AppleDouble (versions 1 and 2) by their magic numbers, MacBinary by its
// header checks, and otherwise the whole content as a bare fork for the map
// parser to accept or refuse. Fails with a classic status code when a
// container is recognised but carries no fork, or its entries lie outside the content.
tl::expected<TintraForkInContent, std::int32_t> findResourceForkInContent(std::span<const std::uint8_t> content);

// The AppleDouble "._NAME" companion's resource fork; fails when the bytes are
// not AppleDouble or AppleSingle at all.
tl::expected<TintraForkInContent, std::int32_t> findResourceForkInCompanion(std::span<const std::uint8_t> content);

} // namespace tintra
