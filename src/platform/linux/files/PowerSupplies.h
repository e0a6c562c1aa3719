#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace tintra {

// The machine's power as the kernel lists it in /sys/class/power_supply, for
// a session without UPower. Batteries of devices (a mouse, a headset) do not
// count; the system's batteries are summed up.
struct PowerSupplies {
    struct Battery {
        double percentage = 0.0;
        std::int64_t secondsToEmpty = 0; // 0 when the kernel gives no rate

        bool operator==(const Battery&) const = default;
    };
    std::optional<Battery> battery;
    // No mains or USB supply is online and a battery discharges.
    bool onBattery = false;

    bool operator==(const PowerSupplies&) const = default;
};

// Nothing when the folder cannot be read (no sysfs); no supplies at all is a
// machine on external power.
std::optional<PowerSupplies> readPowerSupplies(const std::filesystem::path& folder = "/sys/class/power_supply");

} // namespace tintra
