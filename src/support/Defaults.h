#pragma once

#include "support/PropertyList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tintra {

// The user defaults store: one dictionary of settings, kept by the platform.
// Main thread only. A missing key, or a value of another kind than the one
// asked for, yields the caller's default. Every setter writes through at once;
// a value that cannot be written (see writePropertyListXML) is refused with a
// diagnostic line, so one bad value never blocks later writes.
class Defaults {
public:
    virtual ~Defaults() = default;

    std::optional<PropertyList> valueForKey(std::string_view key) const;
    bool boolForKey(std::string_view key, bool fallback) const;
    // Reals read as integers, and integers as reals, only when the number is exact.
    std::int64_t integerForKey(std::string_view key, std::int64_t fallback) const;
    double doubleForKey(std::string_view key, double fallback) const;
    std::optional<std::string> stringForKey(std::string_view key) const;
    std::string stringForKey(std::string_view key, std::string_view fallback) const;
    std::optional<PropertyList::Dictionary> dictionaryForKey(std::string_view key) const;
    std::optional<PropertyList::Array> arrayForKey(std::string_view key) const;
    std::optional<Bytes> dataForKey(std::string_view key) const;

    // Typed values convert on the way in: set("TintraMasterVolume", 0.5).
    void set(std::string_view key, PropertyList value);
    void removeKey(std::string_view key);

protected:
    // The stored value, or null; valid until the next change.
    virtual const PropertyList* lookup(std::string_view key) const = 0;
    virtual void store(std::string_view key, PropertyList value) = 0;
    virtual void erase(std::string_view key) = 0;
};

} // namespace tintra
