#include "support/UserLocale.h"

#include <string_view>

namespace tintra {

icu::Locale userLocale()
{
    const icu::Locale& locale = icu::Locale::getDefault();
    const std::string_view variant = locale.getVariant();
    if (locale.getLanguage()[0] == '\0' || variant == "POSIX")
        return icu::Locale::getRoot();
    return locale;
}

} // namespace tintra
