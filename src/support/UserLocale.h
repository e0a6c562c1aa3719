#pragma once

#include <unicode/locid.h>

namespace tintra {

// The locale the user's texts are ordered and formatted in: ICU's default,
// which follows the environment. The C and POSIX locales state no preference
// and would collate by code point and print numbers without grouping, which no
// desktop does; they give the root locale instead.
icu::Locale userLocale();

} // namespace tintra
