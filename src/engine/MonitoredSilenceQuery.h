#pragma once

#include "playback/SilenceQuery.h"
#include "silence/SilenceMonitor.h"

namespace tintra {

// The player's question answered by the silence monitor, which notices the
// change as it answers.
class MonitoredSilenceQuery final : public SilenceQuery {
public:
    explicit MonitoredSilenceQuery(TintraSilenceMonitor& monitor) : monitor_(monitor) {}

    bool hasCurrentReason() override { return monitor_.currentReason().has_value(); }

private:
    TintraSilenceMonitor& monitor_;
};

} // namespace tintra
