#include "platform/linux/dbus/FocusNotifications.h"

namespace tintra {

namespace {

constexpr const char* kGnomeSchema = "org.gnome.desktop.notifications";

GSettings* gnomeNotificationSettings()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema = source ? g_settings_schema_source_lookup(source, kGnomeSchema, TRUE) : nullptr;
    if (!schema)
        return nullptr;
    const bool hasKey = g_settings_schema_has_key(schema, "show-banners");
    GSettings* settings = hasKey ? g_settings_new_full(schema, nullptr, nullptr) : nullptr;
    g_settings_schema_unref(schema);
    return settings;
}

} // namespace

FocusNotifications::FocusNotifications()
    : gnome_(gnomeNotificationSettings())
    , server_(G_BUS_TYPE_SESSION, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
          "org.freedesktop.Notifications", gnome_ ? "" : "Do Not Disturb is not known")
{
    if (gnome_)
        g_signal_connect(gnome_.get(), "changed::show-banners", G_CALLBACK(&FocusNotifications::settingChanged), this);
    server_.setOnChange([this] { update(); });
    update();
}

FocusNotifications::~FocusNotifications()
{
    if (gnome_)
        g_signal_handlers_disconnect_by_data(gnome_.get(), this);
}

void FocusNotifications::settingChanged(GSettings*, const gchar*, gpointer self)
{
    static_cast<FocusNotifications*>(self)->update();
}

void FocusNotifications::update()
{
    std::optional<bool> active;
    if (gnome_)
        active = !g_settings_get_boolean(gnome_.get(), "show-banners");
    if (auto inhibited = server_.property("Inhibited"); inhibited && g_variant_is_of_type(inhibited.get(), G_VARIANT_TYPE_BOOLEAN))
        active = active.value_or(false) || g_variant_get_boolean(inhibited.get());
    state_.store(!active ? unknown : *active ? on : off);
}

std::optional<bool> FocusNotifications::isActive() const
{
    switch (state_.load()) {
    case on: return true;
    case off: return false;
    case unknown: break;
    }
    return std::nullopt;
}

} // namespace tintra
