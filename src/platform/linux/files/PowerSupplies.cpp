#include "platform/linux/files/PowerSupplies.h"

#include <cmath>
#include <fstream>
#include <string>

namespace tintra {

namespace {

std::optional<std::string> attribute(const std::filesystem::path& supply, const char* name)
{
    std::ifstream file(supply / name);
    std::string value;
    if (!file || !std::getline(file, value))
        return std::nullopt;
    return value;
}

std::optional<double> number(const std::filesystem::path& supply, const char* name)
{
    const auto text = attribute(supply, name);
    if (!text)
        return std::nullopt;
    try {
        return std::stod(*text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

struct Totals {
    double now = 0, full = 0, rate = 0;
    int batteries = 0;
    bool discharging = false;
    bool externalOnline = false;
};

void addBattery(Totals& totals, const std::filesystem::path& supply)
{
    if (attribute(supply, "present") == "0" || attribute(supply, "scope") == "Device")
        return;
    // Energy in µWh with power in µW, or charge in µAh with current in µA.
    auto now = number(supply, "energy_now");
    auto full = number(supply, "energy_full");
    auto rate = number(supply, "power_now");
    if (!now) {
        now = number(supply, "charge_now");
        full = number(supply, "charge_full");
        rate = number(supply, "current_now");
    }
    if (!now || !full || *full <= 0) {
        const auto capacity = number(supply, "capacity");
        if (!capacity)
            return;
        now = *capacity;
        full = 100.0;
        rate.reset();
    }
    ++totals.batteries;
    totals.now += *now;
    totals.full += *full;
    totals.rate += rate ? std::abs(*rate) : 0.0;
    totals.discharging = totals.discharging || attribute(supply, "status") == "Discharging";
}

} // namespace

std::optional<PowerSupplies> readPowerSupplies(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator supplies(folder, error);
    if (error)
        return std::nullopt;
    Totals totals;
    for (const auto& entry : supplies) {
        const auto type = attribute(entry.path(), "type");
        if (type == "Battery")
            addBattery(totals, entry.path());
        else if ((type == "Mains" || type == "USB") && attribute(entry.path(), "online") == "1")
            totals.externalOnline = true;
    }
    PowerSupplies power;
    if (totals.batteries > 0) {
        PowerSupplies::Battery battery;
        battery.percentage = 100.0 * totals.now / totals.full;
        if (totals.rate > 0)
            battery.secondsToEmpty = std::int64_t(3600.0 * totals.now / totals.rate);
        power.battery = battery;
    }
    power.onBattery = power.battery && totals.discharging && !totals.externalOnline;
    return power;
}

} // namespace tintra
