#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tintra {

// The filter of the settings window's event list.
enum class TintraEventFilter {
    all,
    enabled,
    disabled,
    custom,
};

inline constexpr std::array<TintraEventFilter, 4> allEventFilters {
    TintraEventFilter::all,
    TintraEventFilter::enabled,
    TintraEventFilter::disabled,
    TintraEventFilter::custom,
};

std::string_view rawValue(TintraEventFilter filter);
std::optional<TintraEventFilter> eventFilter(std::string_view rawValue);
std::string_view title(TintraEventFilter filter);
std::string_view eventFilterHelp();

} // namespace tintra
