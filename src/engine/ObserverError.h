#pragma once

#include "accessibility/AXError.h"

#include <cstdint>
#include <string>

namespace tintra {

struct TintraObserverError {
    enum class Case { couldNotCreateObserver };
    Case kind = Case::couldNotCreateObserver;
    std::int32_t processIdentifier = 0;
    AXError error = AXError::success;

    // "AXObserverCreate failed for pid 412 with error -25204"
    std::string description() const;
    bool operator==(const TintraObserverError&) const = default;
};

} // namespace tintra
