#pragma once

#include "soundsets/Resource.h"
#include "soundsets/ResourceForkContainer.h"
#include "soundsets/ResourceForkError.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// Every resource of one file's resource fork, read into memory at once and
// grouped by type in the order the map lists them. Immutable once made; reads
// are pure functions of the fork's bytes, so any thread may make one.
class TintraResourceFork {
public:
    // Reads the fork of `file` from whichever container holds it (see
    // ResourceForkFile.h), then parses it.
    static tl::expected<TintraResourceFork, TintraResourceForkError> open(const std::filesystem::path& file);

    // Parses the bytes of a resource fork (header, map, type list, reference
    // lists, names). Every offset and length is checked against the bytes: a
    // damaged header or map fails, a damaged resource is left out.
    static tl::expected<TintraResourceFork, TintraResourceForkError> parse(
        std::span<const std::uint8_t> fork, TintraForkContainer container = TintraForkContainer::rawFork);

    // Type strings in map order: the four code bytes as Mac OS Roman, "????"
    // when they are not text.
    const std::vector<std::string>& resourceTypes() const { return types_; }

    // The resources of a type given as 1 to 4 characters, padded with spaces
    // ("snd" finds 'snd '); empty for an unknown type or a text that is not
    // 1 to 4 Mac OS Roman bytes.
    std::span<const TintraResource> resourcesOfType(std::string_view type) const;
    bool containsResourceType(std::string_view type) const { return !resourcesOfType(type).empty(); }

    TintraForkContainer container() const { return container_; }

private:
    TintraResourceFork() = default;

    std::map<std::string, std::vector<TintraResource>> resourcesByType_;
    std::vector<std::string> types_;
    TintraForkContainer container_ = TintraForkContainer::rawFork;
};

// The text of a four-byte type code, "????" when the bytes are not text.
std::string resourceTypeString(std::span<const std::uint8_t, 4> code);

} // namespace tintra
