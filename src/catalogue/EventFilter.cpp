#include "catalogue/EventFilter.h"

namespace tintra {

std::string_view rawValue(TintraEventFilter filter)
{
    switch (filter) {
    case TintraEventFilter::all: return "all";
    case TintraEventFilter::enabled: return "enabled";
    case TintraEventFilter::disabled: return "disabled";
    case TintraEventFilter::custom: return "custom";
    }
    return {};
}

std::optional<TintraEventFilter> eventFilter(std::string_view text)
{
    for (auto filter : allEventFilters) {
        if (rawValue(filter) == text)
            return filter;
    }
    return std::nullopt;
}

std::string_view title(TintraEventFilter filter)
{
    switch (filter) {
    case TintraEventFilter::all: return "All Events";
    case TintraEventFilter::enabled: return "Enabled";
    case TintraEventFilter::disabled: return "Disabled";
    case TintraEventFilter::custom: return "Custom Sound";
    }
    return {};
}

std::string_view eventFilterHelp()
{
    return "Show every event, only the ones that will play, only the ones that will not, or only the ones playing a file of your own.";
}

} // namespace tintra
