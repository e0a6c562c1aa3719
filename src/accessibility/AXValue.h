#pragma once

#include "accessibility/AXElement.h"
#include "accessibility/AXError.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tintra {

// Screen geometry: global coordinates, origin at the top-left of the main
// display, y growing downward.
struct AXPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const AXPoint&, const AXPoint&) = default;
};

struct AXSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const AXSize&, const AXSize&) = default;
};

struct AXRect {
    AXPoint origin;
    AXSize size;
    friend bool operator==(const AXRect&, const AXRect&) = default;

    // Half-open on the far edges, so that two adjoining frames never both
    // claim the point on their shared edge.
    bool contains(AXPoint point) const
    {
        return point.x >= origin.x && point.x < origin.x + size.width
            && point.y >= origin.y && point.y < origin.y + size.height;
    }
};

// A range of characters or items (the platform's CFRange).
struct AXRange {
    std::int64_t location = 0;
    std::int64_t length = 0;
    friend bool operator==(const AXRange&, const AXRange&) = default;
};

struct AXAttributedText {
    std::string string; // the plain characters, attributes dropped
    friend bool operator==(const AXAttributedText&, const AXAttributedText&) = default;
};

struct AXURL {
    std::string absoluteString;
    friend bool operator==(const AXURL&, const AXURL&) = default;
};

struct AXNull {
    friend bool operator==(const AXNull&, const AXNull&) = default;
};

// A value of a kind the system has no use for, kept only to be shown.
struct AXOtherValue {
    std::string description;
    std::string typeName;
    friend bool operator==(const AXOtherValue&, const AXOtherValue&) = default;
};

// One attribute value as an application reports it. Integers and reals stay
// apart because their texts differ ("1" against "1.5"); a text and a URL with
// the same characters are different values.
class AXValue {
public:
    using List = std::vector<AXValue>;
    using Dictionary = std::map<std::string, AXValue>;

    // In the order of the alternatives of Storage.
    enum class Kind {
        null,
        text,
        attributedText,
        url,
        element,
        list,
        dictionary,
        boolean,
        integer,
        real,
        point,
        size,
        rect,
        range,
        error,
        other,
    };

    using Storage = std::variant<AXNull, std::string, AXAttributedText, AXURL, AXElement, List, Dictionary, bool,
        std::int64_t, double, AXPoint, AXSize, AXRect, AXRange, AXError, AXOtherValue>;

    AXValue() = default;

    static AXValue null() { return AXValue(AXNull {}); }
    static AXValue text(std::string text) { return AXValue(std::move(text)); }
    static AXValue attributedText(std::string plain) { return AXValue(AXAttributedText { std::move(plain) }); }
    static AXValue url(std::string absoluteString) { return AXValue(AXURL { std::move(absoluteString) }); }
    static AXValue element(AXElement element) { return AXValue(std::move(element)); }
    static AXValue list(List items) { return AXValue(std::move(items)); }
    static AXValue dictionary(Dictionary entries) { return AXValue(std::move(entries)); }
    static AXValue boolean(bool value) { return AXValue(value); }
    static AXValue integer(std::int64_t value) { return AXValue(value); }
    static AXValue real(double value) { return AXValue(value); }
    static AXValue point(AXPoint value) { return AXValue(value); }
    static AXValue size(AXSize value) { return AXValue(value); }
    static AXValue rect(AXRect value) { return AXValue(value); }
    static AXValue range(AXRange value) { return AXValue(value); }
    static AXValue error(AXError value) { return AXValue(value); }
    static AXValue other(std::string description, std::string typeName)
    {
        return AXValue(AXOtherValue { std::move(description), std::move(typeName) });
    }

    Kind kind() const { return static_cast<Kind>(storage_.index()); }
    bool isNull() const { return kind() == Kind::null; }

    // The contents when the value holds a T (std::string for plain text,
    // AXValue::List, AXElement, AXPoint, bool, std::int64_t, double …), or nullptr.
    template <typename T>
    const T* get() const
    {
        return std::get_if<T>(&storage_);
    }

    const Storage& storage() const { return storage_; }

    friend bool operator==(const AXValue&, const AXValue&) = default;

private:
    template <typename T>
        requires(!std::is_same_v<std::decay_t<T>, AXValue>)
    explicit AXValue(T&& value) : storage_(std::in_place_type<std::decay_t<T>>, std::forward<T>(value))
    {
    }

    Storage storage_;
};

static_assert(std::variant_size_v<AXValue::Storage> == static_cast<std::size_t>(AXValue::Kind::other) + 1);

} // namespace tintra
