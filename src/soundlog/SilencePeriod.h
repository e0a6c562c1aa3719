#pragma once

#include "silence/SilenceReason.h"
#include "support/Clock.h"

#include <optional>
#include <string>

namespace tintra {

// A stretch of time in which sounds were held back for one reason.
struct TintraSilencePeriod {
    std::string id; // a random UUID made when the period starts
    TintraSilenceReason reason;
    WallTime startDate;
    std::optional<WallTime> endDate; // nothing while the period runs

    static TintraSilencePeriod started(TintraSilenceReason reason, WallTime date);
    bool isRunning() const { return !endDate; }

    friend bool operator==(const TintraSilencePeriod&, const TintraSilencePeriod&) = default;
};

} // namespace tintra
