#include "engine/ObserverError.h"

#include <fmt/format.h>

namespace tintra {

std::string TintraObserverError::description() const
{
    switch (kind) {
    case Case::couldNotCreateObserver:
        return fmt::format("AXObserverCreate failed for pid {} with error {}", processIdentifier, rawValue(error));
    }
    return {};
}

} // namespace tintra
