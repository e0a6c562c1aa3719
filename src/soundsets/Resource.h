#pragma once

#include "support/Bytes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tintra {

// One resource of a classic resource fork, its bytes exactly as stored (big-endian content).
struct TintraResource {
    std::int16_t identifier = 0;
    std::optional<std::string> name;
    Bytes data;
    // The map marks the bytes as compressed by the Resource Manager; nothing here can expand them.
    bool isCompressed = false;

    // "<TintraResource id=128 name=Beep bytes=512>", "(none)" for no name.
    std::string description() const;

    friend bool operator==(const TintraResource&, const TintraResource&) = default;
};

} // namespace tintra
