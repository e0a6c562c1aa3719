#include "silence/WindowDescription.h"

#include <limits>

namespace tintra {

namespace {

const PropertyList* valueFor(const PropertyList::Dictionary& dictionary, std::string_view key)
{
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? nullptr : &found->second;
}

std::optional<double> number(const PropertyList* value)
{
    if (!value)
        return std::nullopt;
    if (const auto* real = value->asReal())
        return *real;
    if (const auto* integer = value->asInteger())
        return static_cast<double>(*integer);
    return std::nullopt;
}

// A rectangle dictionary holds "X", "Y", "Width" and "Height", each a number.
std::optional<Rect> rectangle(const PropertyList* value)
{
    const auto* dictionary = value ? value->asDictionary() : nullptr;
    if (!dictionary)
        return std::nullopt;
    const auto x = number(valueFor(*dictionary, "X"));
    const auto y = number(valueFor(*dictionary, "Y"));
    const auto width = number(valueFor(*dictionary, "Width"));
    const auto height = number(valueFor(*dictionary, "Height"));
    if (!x || !y || !width || !height)
        return std::nullopt;
    return Rect { *x, *y, *width, *height };
}

} // namespace

std::optional<TintraWindowDescription> TintraWindowDescription::fromWindowListEntry(const PropertyList::Dictionary& entry)
{
    const auto* ownerValue = valueFor(entry, "kCGWindowOwnerPID");
    const auto* layerValue = valueFor(entry, "kCGWindowLayer");
    const auto* owner = ownerValue ? ownerValue->asInteger() : nullptr;
    const auto* layer = layerValue ? layerValue->asInteger() : nullptr;
    const auto bounds = rectangle(valueFor(entry, "kCGWindowBounds"));
    if (!owner || !layer || !bounds)
        return std::nullopt;
    if (*owner < std::numeric_limits<std::int32_t>::min() || *owner > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return TintraWindowDescription {
        static_cast<std::int32_t>(*owner),
        *layer,
        *bounds,
        number(valueFor(entry, "kCGWindowAlpha")).value_or(1.0),
    };
}

} // namespace tintra
