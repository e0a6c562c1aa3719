#pragma once

#include "playback/SilenceQuery.h"

namespace tintra {

// A silence reason that holds while the test says so; counts questions.
class SilenceQueryFake final : public SilenceQuery {
public:
    bool silenced = false;
    int questions = 0;

    bool hasCurrentReason() override
    {
        ++questions;
        return silenced;
    }
};

} // namespace tintra
