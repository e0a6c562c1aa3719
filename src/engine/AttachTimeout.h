#pragma once

namespace tintra {

// An attach that did not answer in time: how long it ran before it was
// abandoned, and how many notifications it had registered by then.
struct TintraAttachTimeout {
    double duration = 0;
    int registeredNotificationCount = 0;

    friend bool operator==(const TintraAttachTimeout&, const TintraAttachTimeout&) = default;
};

} // namespace tintra
