#include "platform/linux/files/PowerSupplies.h"
#include "fakes/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

namespace tintra {
namespace {

void supply(const std::filesystem::path& folder, const std::string& name, const std::map<std::string, std::string>& attributes)
{
    std::filesystem::create_directories(folder / name);
    for (const auto& [attribute, value] : attributes)
        std::ofstream(folder / name / attribute) << value << "\n";
}

TEST(PowerSupplies, ADischargingSystemBatteryWithoutMainsIsBatteryPowerWithItsTimeLeft)
{
    TemporaryFolder folder;
    supply(folder.path(), "AC", { { "type", "Mains" }, { "online", "0" } });
    supply(folder.path(), "BAT0", { { "type", "Battery" }, { "status", "Discharging" }, { "energy_now", "30000000" },
                               { "energy_full", "60000000" }, { "power_now", "15000000" } });
    supply(folder.path(), "hidpp_battery_0", { { "type", "Battery" }, { "scope", "Device" }, { "status", "Discharging" }, { "capacity", "5" } });
    const auto power = readPowerSupplies(folder.path());
    ASSERT_TRUE(power && power->battery);
    EXPECT_TRUE(power->onBattery);
    EXPECT_DOUBLE_EQ(power->battery->percentage, 50.0) << "a mouse's battery is not the machine's";
    EXPECT_EQ(power->battery->secondsToEmpty, 7200);

    supply(folder.path(), "AC", { { "online", "1" } });
    EXPECT_FALSE(readPowerSupplies(folder.path())->onBattery);
}

TEST(PowerSupplies, ChargeOrCapacityAloneStillGiveTheLevelAndNoSuppliesIsExternalPower)
{
    TemporaryFolder folder;
    supply(folder.path(), "BAT1", { { "type", "Battery" }, { "status", "Discharging" }, { "charge_now", "1000" }, { "charge_full", "4000" } });
    auto power = readPowerSupplies(folder.path());
    ASSERT_TRUE(power && power->battery);
    EXPECT_DOUBLE_EQ(power->battery->percentage, 25.0);
    EXPECT_EQ(power->battery->secondsToEmpty, 0) << "no rate, no estimate";
    EXPECT_TRUE(power->onBattery);

    TemporaryFolder other;
    supply(other.path(), "BAT0", { { "type", "Battery" }, { "status", "Charging" }, { "capacity", "80" } });
    supply(other.path(), "BAT9", { { "type", "Battery" }, { "present", "0" }, { "capacity", "3" } });
    power = readPowerSupplies(other.path());
    ASSERT_TRUE(power && power->battery);
    EXPECT_DOUBLE_EQ(power->battery->percentage, 80.0);
    EXPECT_FALSE(power->onBattery);

    TemporaryFolder empty;
    EXPECT_EQ(readPowerSupplies(empty.path()), PowerSupplies {});
    EXPECT_EQ(readPowerSupplies(empty / "missing"), std::nullopt);
}

} // namespace
} // namespace tintra
