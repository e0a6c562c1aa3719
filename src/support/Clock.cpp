#include "support/Clock.h"

namespace tintra {

const SystemClock& SystemClock::shared()
{
    static const SystemClock clock;
    return clock;
}

} // namespace tintra
