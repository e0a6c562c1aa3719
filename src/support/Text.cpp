#include "support/Text.h"

#include "support/UserLocale.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>

namespace tintra {
namespace {

bool isASCII(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return std::uint8_t(c) < 0x80; });
}

std::unique_ptr<icu::Collator> makeCollator(icu::Collator::ECollationStrength strength)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(userLocale(), status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (collator) {
        collator->setStrength(strength);
        collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    }
    return collator;
}

int compareWith(const icu::Collator* collator, std::string_view a, std::string_view b)
{
    if (!collator)
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    const auto result = collator->compareUTF8(icu::StringPiece(a.data(), int32_t(a.size())),
        icu::StringPiece(b.data(), int32_t(b.size())), status);
    return U_FAILURE(status) ? 0 : int(result);
}

} // namespace

std::optional<std::u32string> decodeUTF8(std::string_view utf8)
{
    std::u32string codePoints;
    codePoints.reserve(utf8.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = int32_t(utf8.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            return std::nullopt;
        codePoints.push_back(char32_t(c));
    }
    return codePoints;
}

void appendUTF8(std::string& text, char32_t codePoint)
{
    char buffer[U8_MAX_LENGTH];
    int32_t length = 0;
    UBool error = false;
    U8_APPEND(buffer, length, U8_MAX_LENGTH, UChar32(codePoint), error);
    if (!error)
        text.append(buffer, std::size_t(length));
}

namespace {

bool startsCharacter(char byte)
{
    return (std::uint8_t(byte) & 0xC0) != 0x80;
}

} // namespace

std::size_t characterCount(std::string_view utf8)
{
    return std::size_t(std::count_if(utf8.begin(), utf8.end(), startsCharacter));
}

std::string_view leadingCharacters(std::string_view utf8, std::size_t count)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (startsCharacter(utf8[i]) && seen++ == count)
            return utf8.substr(0, i);
    }
    return utf8;
}

std::string lowercased(std::string_view text)
{
    if (isASCII(text)) {
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
        return lower;
    }
    std::string lower;
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size()))).toLower(icu::Locale::getRoot()).toUTF8String(lower);
    return lower;
}

std::string trimmingWhitespace(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = int32_t(text.size());
    int32_t start = 0;
    while (start < length) {
        int32_t next = start;
        UChar32 c;
        U8_NEXT(bytes, next, length, c);
        if (c < 0 || !u_isUWhiteSpace(c))
            break;
        start = next;
    }
    int32_t end = length;
    while (end > start) {
        int32_t previous = end;
        UChar32 c;
        U8_PREV(bytes, start, previous, c);
        if (c < 0 || !u_isUWhiteSpace(c))
            break;
        end = previous;
    }
    return std::string(text.substr(std::size_t(start), std::size_t(end - start)));
}

bool isAlphanumeric(char32_t codePoint)
{
    return (U_GET_GC_MASK(UChar32(codePoint)) & (U_GC_L_MASK | U_GC_N_MASK)) != 0;
}

int localizedStandardCompare(std::string_view a, std::string_view b)
{
    // Collators are costly to make and not safe to share between threads.
    thread_local const auto loose = makeCollator(icu::Collator::SECONDARY);
    thread_local const auto strict = makeCollator(icu::Collator::TERTIARY);
    if (int result = compareWith(loose.get(), a, b))
        return result;
    if (int result = compareWith(strict.get(), a, b))
        return result;
    return a.compare(b);
}

} // namespace tintra
