#pragma once

#include "support/Bytes.h"
#include "support/Clock.h"

#include <tl/expected.hpp>

#include <concepts>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tintra {

// One value of a property list. Dictionaries are ordered by key so that
// written files come out the same for the same contents.
struct PropertyList {
    using Array = std::vector<PropertyList>;
    using Dictionary = std::map<std::string, PropertyList, std::less<>>;
    using Value = std::variant<bool, std::int64_t, double, std::string, Bytes, WallTime, Array, Dictionary>;

    Value value;

    // An empty dictionary, the usual top level.
    PropertyList() : value(Dictionary {}) {}
    PropertyList(bool v) : value(v) {}
    // Any integer type that fits in 64 signed bits; bool has its own case.
    template <std::integral T>
        requires(!std::same_as<T, bool> && (std::signed_integral<T> || sizeof(T) < sizeof(std::int64_t)))
    PropertyList(T v) : value(static_cast<std::int64_t>(v))
    {
    }
    PropertyList(double v) : value(v) {}
    PropertyList(std::string v) : value(std::move(v)) {}
    PropertyList(const char* v) : value(std::string(v)) {}
    PropertyList(Bytes v) : value(std::move(v)) {}
    PropertyList(WallTime v) : value(v) {}
    PropertyList(Array v) : value(std::move(v)) {}
    PropertyList(Dictionary v) : value(std::move(v)) {}

    // Each accessor answers null when the value is of another kind.
    const bool* asBool() const { return std::get_if<bool>(&value); }
    const std::int64_t* asInteger() const { return std::get_if<std::int64_t>(&value); }
    const double* asReal() const { return std::get_if<double>(&value); }
    const std::string* asString() const { return std::get_if<std::string>(&value); }
    const Bytes* asData() const { return std::get_if<Bytes>(&value); }
    const WallTime* asDate() const { return std::get_if<WallTime>(&value); }
    const Array* asArray() const { return std::get_if<Array>(&value); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&value); }

    bool operator==(const PropertyList& other) const = default;
};

struct PropertyListError {
    enum class Case {
        tooLarge,         // more bytes than the reader takes, or expands beyond its limit
        malformed,        // not a property list in any format
        unsupportedValue, // a UID, null or other node with no value kind here; `detail` names it
        tooDeep,          // nested beyond the limit
        unwritable,       // cannot be expressed in XML; `detail` says why
    };
    Case kind;
    std::string detail;

    std::string description() const;
};

// Deepest nesting read or written, and the most bytes read; far beyond any
// real settings file or bundle description.
inline constexpr int kPropertyListMaxDepth = 512;
inline constexpr std::size_t kPropertyListMaxBytes = 16u << 20;

// Reads an XML or binary property list. Never throws; hostile input gives an error.
tl::expected<PropertyList, PropertyListError> readPropertyList(std::span<const std::uint8_t> bytes);

// Writes the XML form. Dates are written in whole seconds (XML holds no
// fraction) and must lie within 2^31 seconds of 2001, the range libplist can
// hold (1932 to 2069); text must be free of NUL characters.
tl::expected<std::string, PropertyListError> writePropertyListXML(const PropertyList& list);

} // namespace tintra
