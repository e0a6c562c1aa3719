#pragma once

#include "support/Bytes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tintra {

// Classic Mac OS text: every byte decodes (0x00–0x7F as ASCII, the upper half
// through the Mac OS Roman table, 0xDB being the euro sign).
std::string decodeMacRoman(std::span<const std::uint8_t> bytes);

// UTF-8 to Mac OS Roman; nothing when the text is not valid UTF-8 or holds a
// character the encoding lacks.
std::optional<Bytes> encodeMacRoman(std::string_view utf8);

} // namespace tintra
