#include "platform/linux/dbus/PowerUPower.h"

namespace tintra {

namespace {

// UPower's device Type value of a battery.
constexpr std::uint32_t kBattery = 2;

template <typename T>
std::optional<T> read(const BusProxy& proxy, const char* name, const GVariantType* type, T (*get)(GVariant*))
{
    const auto value = proxy.property(name);
    if (!value || !g_variant_is_of_type(value.get(), type))
        return std::nullopt;
    return get(value.get());
}

} // namespace

PowerUPower::PowerUPower()
    : daemon_(G_BUS_TYPE_SYSTEM, "org.freedesktop.UPower", "/org/freedesktop/UPower", "org.freedesktop.UPower",
          "battery power is read from /sys/class/power_supply")
    , displayDevice_(G_BUS_TYPE_SYSTEM, "org.freedesktop.UPower", "/org/freedesktop/UPower/devices/DisplayDevice",
          "org.freedesktop.UPower.Device", "")
{
}

// Both proxies fill their caches on their own; until the display device's has,
// a battery would look absent.
std::optional<PowerSupplies> PowerUPower::state() const
{
    const auto onBattery = read<gboolean>(daemon_, "OnBattery", G_VARIANT_TYPE_BOOLEAN, &g_variant_get_boolean);
    if (!onBattery || !displayDevice_.hasOwner())
        return std::nullopt;
    PowerSupplies power;
    power.onBattery = *onBattery;
    const auto type = read<guint32>(displayDevice_, "Type", G_VARIANT_TYPE_UINT32, &g_variant_get_uint32);
    const auto present = read<gboolean>(displayDevice_, "IsPresent", G_VARIANT_TYPE_BOOLEAN, &g_variant_get_boolean);
    if (type == kBattery && present && *present) {
        PowerSupplies::Battery battery;
        battery.percentage = read<gdouble>(displayDevice_, "Percentage", G_VARIANT_TYPE_DOUBLE, &g_variant_get_double).value_or(0.0);
        battery.secondsToEmpty = read<gint64>(displayDevice_, "TimeToEmpty", G_VARIANT_TYPE_INT64, &g_variant_get_int64).value_or(0);
        power.battery = battery;
    }
    return power;
}

} // namespace tintra
