#pragma once

#include <cstdint>
#include <string>

namespace tintra {

// Numbers as the user's locale writes them: 500107862016 is
// "500,107,862,016" in English and "500.107.862.016" in German.
std::string formattedInteger(std::int64_t value);

// A number with exactly `fractionDigits` digits after the locale's decimal
// separator: 2.25 with one digit is "2.3" in English and "2,3" in German.
std::string formattedNumber(double value, int fractionDigits);

// A file or disk size the way the desktop's file browser states it: decimal
// units (1 KB is 1000 bytes), the largest unit that keeps the number below
// 1000, no fraction digits for bytes and KB, one for MB and two from GB up,
// trailing zeros dropped, zero spelled out ("Zero KB", "1 byte", "999 bytes",
// "1.5 MB", "500.11 GB"). The number follows the user's locale; the unit
// names stay as written.
std::string formattedByteCount(std::int64_t count);

} // namespace tintra
