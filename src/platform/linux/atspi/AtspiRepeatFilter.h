#pragma once

#include "support/Clock.h"

#include <string>
#include <unordered_map>

namespace tintra {

// Lets one notification through per key within `window`: the several AT-SPI
// events of one user action become one notification.
class AtspiRepeatFilter {
public:
    explicit AtspiRepeatFilter(Duration window) : window_(window) {}

    bool admit(const std::string& key, MonotonicTime now);

private:
    Duration window_;
    std::unordered_map<std::string, MonotonicTime> lastAdmitted_;
};

} // namespace tintra
