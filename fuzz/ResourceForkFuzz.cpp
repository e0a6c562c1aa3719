#include "soundsets/ResourceFork.h"

#include <cstdio>
#include <cstdlib>
#include <span>

// Container detection and the map parser on any bytes: whatever is read must
// come from inside the input, and a fork that parses lists each type once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tintra;
    const std::span<const std::uint8_t> content(data, size);
    for (const auto& found : { findResourceForkInContent(content), findResourceForkInCompanion(content) }) {
        if (!found)
            continue;
        if (found->fork.data() < data || found->fork.data() + found->fork.size() > data + size)
            std::abort();
        const auto fork = TintraResourceFork::parse(found->fork, found->container);
        if (!fork) {
            if (fork.error().description().empty())
                std::abort();
            continue;
        }
        std::size_t bytes = 0;
        for (const auto& type : fork->resourceTypes()) {
            for (const auto& resource : fork->resourcesOfType(type))
                bytes += resource.data.size();
        }
        if (bytes > found->fork.size()) {
            std::fprintf(stderr, "resources hold %zu bytes from a %zu-byte fork\n", bytes, found->fork.size());
            std::abort();
        }
    }
    return 0;
}
