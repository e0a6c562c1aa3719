#include "support/NumberFormat.h"

#include "support/UserLocale.h"

#include <unicode/numberformatter.h>

#include <array>
#include <cmath>
#include <string_view>

namespace tintra {
namespace {

constexpr std::array<std::string_view, 6> kUnits { "KB", "MB", "GB", "TB", "PB", "EB" };

int fractionDigits(std::size_t unit)
{
    return unit == 0 ? 0 : unit == 1 ? 1 : 2;
}

std::string utf8(const icu::number::FormattedNumber& formatted, UErrorCode& status)
{
    std::string text;
    formatted.toString(status).toUTF8String(text);
    return text;
}

std::string formattedDouble(double value, const icu::number::Precision& precision)
{
    UErrorCode status = U_ZERO_ERROR;
    const auto formatted
        = icu::number::NumberFormatter::withLocale(userLocale()).precision(precision).formatDouble(value, status);
    auto text = utf8(formatted, status);
    if (U_FAILURE(status))
        return std::to_string(value);
    return text;
}

} // namespace

std::string formattedInteger(std::int64_t value)
{
    UErrorCode status = U_ZERO_ERROR;
    const auto formatted = icu::number::NumberFormatter::withLocale(userLocale()).formatInt(value, status);
    auto text = utf8(formatted, status);
    if (U_FAILURE(status))
        return std::to_string(value);
    return text;
}

std::string formattedNumber(double value, int fractionDigits)
{
    return formattedDouble(value, icu::number::Precision::fixedFraction(fractionDigits));
}

std::string formattedByteCount(std::int64_t count)
{
    if (count == 0)
        return "Zero KB";
    if (count > -1000 && count < 1000)
        return formattedInteger(count) + (count == 1 || count == -1 ? " byte" : " bytes");
    // Rounding can carry a number up to 1000 (999,999 bytes is 1,000 KB), which
    // the next unit writes as 1 MB.
    double value = double(count) / 1000;
    for (std::size_t unit = 0;; ++unit, value /= 1000) {
        const int digits = fractionDigits(unit);
        const double scale = std::pow(10.0, digits);
        const double rounded = std::round(value * scale) / scale;
        if (std::abs(rounded) < 1000 || unit + 1 == kUnits.size())
            return formattedDouble(rounded, icu::number::Precision::maxFraction(digits)) + " " + std::string(kUnits[unit]);
    }
}

} // namespace tintra
