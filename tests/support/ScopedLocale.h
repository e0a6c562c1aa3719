#pragma once

#include <unicode/locid.h>

namespace tintra {

// Makes `name` the user's locale until the end of the scope, so that texts
// formatted in the user's locale do not depend on the machine's settings.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : saved_(icu::Locale::getDefault()) { set(icu::Locale(name)); }
    ~ScopedLocale() { set(saved_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    static void set(const icu::Locale& locale)
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(locale, status);
    }

    icu::Locale saved_;
};

} // namespace tintra
