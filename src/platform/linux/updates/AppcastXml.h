#pragma once

#include "shell/Appcast.h"

#include <tl/expected.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// The items of a Sparkle appcast (RSS 2.0 with the sparkle: fields), in the
// feed's order. Versions are read from the item's elements or, as older
// feeds put them, from its enclosure; an enclosure for another system
// (sparkle:os other than "linux") counts as none. Malformed XML gives one
// line saying where.
tl::expected<std::vector<TintraAppcastItem>, std::string> parseAppcast(std::string_view xml);

} // namespace tintra
