#pragma once

#include "soundsets/ResourceFork.h"
#include "support/Bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// One resource as the classic sound-set parser sees it.
struct TintraRawResource {
    std::int16_t identifier = 0;
    std::optional<std::string> name;
    Bytes data;
    bool isCompressed = false;

    friend bool operator==(const TintraRawResource&, const TintraRawResource&) = default;
};

// A source of resources by four-character type, in fork order; empty when
// there are none. Lets the parser run on resources held in memory.
class TintraResourceProviding {
public:
    virtual ~TintraResourceProviding() = default;
    virtual std::vector<TintraRawResource> resources(std::string_view ofType) const = 0;
};

// The resources of a fork read from a file.
class TintraResourceForkProvider final : public TintraResourceProviding {
public:
    explicit TintraResourceForkProvider(const TintraResourceFork& fork) : fork(fork) {}
    std::vector<TintraRawResource> resources(std::string_view ofType) const override;

    const TintraResourceFork& fork;
};

} // namespace tintra
