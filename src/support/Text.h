#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tintra {

// UTF-8 helpers. Text everywhere in the core is UTF-8 in std::string.

// The code points of `utf8`, or nothing when it is not valid UTF-8.
std::optional<std::u32string> decodeUTF8(std::string_view utf8);
void appendUTF8(std::string& text, char32_t codePoint);

// Characters are code points here; bytes that continue a sequence are not counted.
std::size_t characterCount(std::string_view utf8);
// The first `count` characters, never cut inside one.
std::string_view leadingCharacters(std::string_view utf8, std::size_t count);

// Unicode lower-casing, independent of the user's locale.
std::string lowercased(std::string_view text);

// `text` without the white space and line breaks of any script at either end.
std::string trimmingWhitespace(std::string_view text);

// A letter or a number of any script.
bool isAlphanumeric(char32_t codePoint);

// The ordering a file browser uses in the user's locale: case- and
// width-insensitive, digit runs compared as numbers ("Set 2" before "Set 10"),
// and only texts that are truly identical compare equal. Negative, zero or positive.
int localizedStandardCompare(std::string_view a, std::string_view b);

inline bool localizedStandardLess(std::string_view a, std::string_view b)
{
    return localizedStandardCompare(a, b) < 0;
}

} // namespace tintra
