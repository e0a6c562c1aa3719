#pragma once

#include "platform/linux/dbus/BusProxy.h"

#include <atomic>
#include <optional>

namespace tintra {

// Do Not Disturb as the desktop keeps it: GNOME's notification banners
// switched off (org.gnome.desktop.notifications show-banners, when that
// schema is installed), or the notification server's Inhibited property
// (KDE and others). Kept current by the setting's and the property's change
// signals on the main thread; `isActive` and `isReadable` may be called from
// any thread.
class FocusNotifications {
public:
    FocusNotifications();
    ~FocusNotifications();
    FocusNotifications(const FocusNotifications&) = delete;
    FocusNotifications& operator=(const FocusNotifications&) = delete;

    // Whether either source can be read right now.
    bool isReadable() const { return state_.load() != unknown; }
    // None while neither source can be read.
    std::optional<bool> isActive() const;

private:
    enum State { unknown, off, on };
    static void settingChanged(GSettings*, const gchar*, gpointer self);
    void update();

    GObjectHandle<GSettings> gnome_;
    BusProxy server_;
    std::atomic<State> state_ { unknown };
};

} // namespace tintra
