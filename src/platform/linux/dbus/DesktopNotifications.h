#pragma once

#include "platform/linux/GLibHandles.h"
#include "shell/UserNotifications.h"

#include <gio/gio.h>

#include <cstdint>
#include <map>
#include <string>

namespace tintra {

// User notifications through the desktop's notification server
// (org.freedesktop.Notifications on the session bus, started on demand).
// Authorization means a server that shows clickable notifications: one that
// offers actions. Without a session bus nothing is shown and nothing is
// granted. Main thread only.
class DesktopNotifications final : public UserNotifications {
public:
    // `applicationName` heads each notification; `desktopEntry` (without
    // ".desktop") gives the server our icon and name.
    DesktopNotifications(std::string applicationName, std::string desktopEntry);
    ~DesktopNotifications() override;
    DesktopNotifications(const DesktopNotifications&) = delete;
    DesktopNotifications& operator=(const DesktopNotifications&) = delete;

    void requestAuthorization(std::function<void(bool granted)> completion) override;
    void post(const std::string& identifier, const std::string& title, const std::string& body,
        std::function<void()> clicked) override;
    void remove(const std::string& identifier) override;

private:
    struct Shown {
        std::uint32_t serverID = 0;
        // Tells a late answer of the server from the answer for what is shown now.
        std::uint64_t posting = 0;
        std::function<void()> clicked;
    };

    void call(const char* method, GVariant* parameters, const GVariantType* replyType,
        std::function<void(GVariant*)> reply);
    static void signalled(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal,
        GVariant* parameters, gpointer self);

    const std::string applicationName_;
    const std::string desktopEntry_;
    GObjectHandle<GDBusConnection> bus_;
    GObjectHandle<GCancellable> cancellable_;
    guint subscription_ = 0;
    // By our identifier; a server ID of 0 until the server has answered.
    std::map<std::string, Shown> shown_;
    std::uint64_t postings_ = 0;
};

} // namespace tintra
