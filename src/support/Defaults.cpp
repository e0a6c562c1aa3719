#include "support/Defaults.h"

#include <cmath>
#include <iostream>

namespace tintra {

namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;

std::optional<std::int64_t> exactInteger(double value)
{
    if (!std::isfinite(value) || value != std::trunc(value) || value < -kTwoTo63 || value >= kTwoTo63)
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

std::optional<double> exactDouble(std::int64_t value)
{
    const auto converted = static_cast<double>(value);
    // 2^63 is the one rounding result outside the integer range.
    if (converted >= kTwoTo63 || static_cast<std::int64_t>(converted) != value)
        return std::nullopt;
    return converted;
}

} // namespace

std::optional<PropertyList> Defaults::valueForKey(std::string_view key) const
{
    if (const auto* value = lookup(key))
        return *value;
    return std::nullopt;
}

bool Defaults::boolForKey(std::string_view key, bool fallback) const
{
    const auto* value = lookup(key);
    const bool* stored = value ? value->asBool() : nullptr;
    return stored ? *stored : fallback;
}

std::int64_t Defaults::integerForKey(std::string_view key, std::int64_t fallback) const
{
    const auto* value = lookup(key);
    if (!value)
        return fallback;
    if (const auto* integer = value->asInteger())
        return *integer;
    if (const auto* real = value->asReal())
        return exactInteger(*real).value_or(fallback);
    return fallback;
}

double Defaults::doubleForKey(std::string_view key, double fallback) const
{
    const auto* value = lookup(key);
    if (!value)
        return fallback;
    if (const auto* real = value->asReal())
        return *real;
    if (const auto* integer = value->asInteger())
        return exactDouble(*integer).value_or(fallback);
    return fallback;
}

std::optional<std::string> Defaults::stringForKey(std::string_view key) const
{
    const auto* value = lookup(key);
    const auto* stored = value ? value->asString() : nullptr;
    return stored ? std::optional(*stored) : std::nullopt;
}

std::string Defaults::stringForKey(std::string_view key, std::string_view fallback) const
{
    return stringForKey(key).value_or(std::string(fallback));
}

std::optional<PropertyList::Dictionary> Defaults::dictionaryForKey(std::string_view key) const
{
    const auto* value = lookup(key);
    const auto* stored = value ? value->asDictionary() : nullptr;
    return stored ? std::optional(*stored) : std::nullopt;
}

std::optional<PropertyList::Array> Defaults::arrayForKey(std::string_view key) const
{
    const auto* value = lookup(key);
    const auto* stored = value ? value->asArray() : nullptr;
    return stored ? std::optional(*stored) : std::nullopt;
}

std::optional<Bytes> Defaults::dataForKey(std::string_view key) const
{
    const auto* value = lookup(key);
    const auto* stored = value ? value->asData() : nullptr;
    return stored ? std::optional(*stored) : std::nullopt;
}

void Defaults::set(std::string_view key, PropertyList value)
{
    PropertyList::Dictionary probe;
    probe.emplace(std::string(key), value);
    if (auto written = writePropertyListXML(PropertyList(std::move(probe))); !written) {
        std::cout << "Defaults: not storing " << key << ": " << written.error().description() << std::endl;
        return;
    }
    store(key, std::move(value));
}

void Defaults::removeKey(std::string_view key)
{
    erase(key);
}

} // namespace tintra
