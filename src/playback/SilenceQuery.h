#pragma once

namespace tintra {

// Asked before every sound: does a reason for silence hold right now? The
// answer comes with the silence monitor's change notification, so asking is
// what lets the sound log notice a silence. Main thread only; never fails.
class SilenceQuery {
public:
    virtual ~SilenceQuery() = default;

    virtual bool hasCurrentReason() = 0;
};

} // namespace tintra
