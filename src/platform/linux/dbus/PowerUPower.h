#pragma once

#include "platform/linux/dbus/BusProxy.h"

#include <cstdint>
#include <optional>

namespace tintra {

// The machine's battery as UPower's display device sums it up.
struct BatteryState {
    double percentage = 0.0;
    bool charging = false;
    std::int64_t secondsToEmpty = 0; // 0 when UPower has no estimate
};

// Power from UPower on the system bus, in memory, kept current by its
// property changes. Main thread only.
class PowerUPower {
public:
    PowerUPower();

    // Whether UPower runs and both its objects have answered.
    bool isKnown() const;
    // Whether the machine runs on its battery; none when unknown.
    std::optional<bool> onBattery() const;
    // The internal battery; none when there is none (or UPower is unknown).
    std::optional<BatteryState> battery() const;

private:
    BusProxy daemon_;
    BusProxy displayDevice_;
};

} // namespace tintra
