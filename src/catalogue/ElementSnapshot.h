#pragma once

#include "accessibility/AXElement.h"
#include "accessibility/AXValue.h"
#include "support/Clock.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

class Accessibility;

// What the sound log shows of an interface element: a one-line name and
// detail lines (ancestors, attributes, actions), each already indented.
struct TintraElementSnapshot {
    std::string name;
    std::vector<std::string> details;

    friend bool operator==(const TintraElementSnapshot&, const TintraElementSnapshot&) = default;
};

inline constexpr Duration defaultSnapshotBudget = seconds(0.05);

// Describes the element, asking its application as little as the budget
// allows (measured on the clock's monotonic time). Nothing when the element
// has no role. Main thread, as every accessibility call.
std::optional<TintraElementSnapshot> makeSnapshot(Accessibility& accessibility, const Clock& clock,
    const AXElement& element, std::optional<Duration> budget = std::nullopt);

// "AXButton[AXCloseButton] #close "Close" a close button"; nothing when the
// element has no role.
std::optional<std::string> elementName(Accessibility& accessibility, const AXElement& element);

// The one-line name, with "<no role>" standing in for a missing role.
std::string briefDescription(Accessibility& accessibility, const AXElement& element);

// Line feeds and tabs escaped, then cut at 240 characters with the full count
// appended ("… (500 characters)").
std::string clippedForDisplay(std::string_view text);

// The text of an attribute value. Elements deeper than `limit` and element
// lists that would reach below it are only named or counted.
std::string valueText(Accessibility& accessibility, const AXValue& value, int depth, int limit);

} // namespace tintra

template <>
struct std::hash<tintra::TintraElementSnapshot> {
    std::size_t operator()(const tintra::TintraElementSnapshot& snapshot) const noexcept
    {
        std::size_t hash = std::hash<std::string> {}(snapshot.name);
        for (const auto& line : snapshot.details)
            hash = hash * 31 + std::hash<std::string> {}(line);
        return hash;
    }
};
