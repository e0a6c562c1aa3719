#pragma once

#include "platform/linux/dbus/BusProxy.h"
#include "platform/linux/files/PowerSupplies.h"

#include <optional>

namespace tintra {

// Power from UPower on the system bus: OnBattery and the battery as its
// display device sums it up, in memory, kept current by their property
// changes. Main thread only.
class PowerUPower {
public:
    PowerUPower();

    // None until UPower runs and both its objects have answered.
    std::optional<PowerSupplies> state() const;

private:
    BusProxy daemon_;
    BusProxy displayDevice_;
};

} // namespace tintra
