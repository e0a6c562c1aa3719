#include "platform/linux/dbus/DesktopNotifications.h"

#include "support/MainThread.h"

#include <cstring>
#include <iostream>
#include <memory>

namespace tintra {
namespace {

constexpr const char* serverName = "org.freedesktop.Notifications";
constexpr const char* serverPath = "/org/freedesktop/Notifications";

} // namespace

DesktopNotifications::DesktopNotifications(std::string applicationName, std::string desktopEntry)
    : applicationName_(std::move(applicationName))
    , desktopEntry_(std::move(desktopEntry))
    , cancellable_(g_cancellable_new())
{
    GErrorOut error;
    bus_.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error.out()));
    if (!bus_) {
        std::cerr << "DesktopNotifications: no session bus (" << error.message() << "), so no notification is shown"
                  << std::endl;
        return;
    }
    subscription_ = g_dbus_connection_signal_subscribe(bus_.get(), serverName, serverName, nullptr, serverPath,
        nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &DesktopNotifications::signalled, this, nullptr);
}

DesktopNotifications::~DesktopNotifications()
{
    g_cancellable_cancel(cancellable_.get());
    if (subscription_)
        g_dbus_connection_signal_unsubscribe(bus_.get(), subscription_);
}

void DesktopNotifications::call(const char* method, GVariant* parameters, const GVariantType* replyType,
    std::function<void(GVariant*)> reply)
{
    if (!bus_) {
        g_variant_unref(g_variant_ref_sink(parameters));
        reply(nullptr);
        return;
    }
    auto pending = std::make_unique<std::function<void(GVariant*)>>(std::move(reply));
    g_dbus_connection_call(bus_.get(), serverName, serverPath, serverName, method, parameters, replyType,
        G_DBUS_CALL_FLAGS_NONE, -1, cancellable_.get(),
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::function<void(GVariant*)>> reply(static_cast<std::function<void(GVariant*)>*>(data));
            GErrorOut error;
            GVariantHandle value(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, error.out()));
            // A cancelled call means we are gone.
            if (!error.matches(G_IO_ERROR, G_IO_ERROR_CANCELLED))
                (*reply)(value.get());
        },
        pending.release());
}

void DesktopNotifications::requestAuthorization(std::function<void(bool granted)> completion)
{
    TINTRA_ASSERT_MAIN_THREAD();
    call("GetCapabilities", nullptr, G_VARIANT_TYPE("(as)"), [completion = std::move(completion)](GVariant* reply) {
        bool actions = false;
        if (reply) {
            GVariantIter* capabilities = nullptr;
            const gchar* capability = nullptr;
            g_variant_get(reply, "(as)", &capabilities);
            while (g_variant_iter_loop(capabilities, "&s", &capability))
                actions = actions || std::strcmp(capability, "actions") == 0;
            g_variant_iter_free(capabilities);
        }
        completion(actions);
    });
}

void DesktopNotifications::post(const std::string& identifier, const std::string& title, const std::string& body,
    std::function<void()> clicked)
{
    TINTRA_ASSERT_MAIN_THREAD();
    auto& shown = shown_[identifier];
    shown.clicked = std::move(clicked);
    shown.posting = ++postings_;
    GVariantBuilder actions;
    g_variant_builder_init(&actions, G_VARIANT_TYPE("as"));
    g_variant_builder_add(&actions, "s", "default");
    g_variant_builder_add(&actions, "s", "Show");
    GVariantBuilder hints;
    g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string(desktopEntry_.c_str()));
    // Replacing what is shown under the same identifier keeps one notification on screen.
    GVariant* parameters = g_variant_new("(susssasa{sv}i)", applicationName_.c_str(), shown.serverID,
        desktopEntry_.c_str(), title.c_str(), body.c_str(), &actions, &hints, -1);
    call("Notify", parameters, G_VARIANT_TYPE("(u)"), [this, identifier, posting = shown.posting](GVariant* reply) {
        if (!reply)
            return;
        std::uint32_t serverID = 0;
        g_variant_get(reply, "(u)", &serverID);
        const auto found = shown_.find(identifier);
        if (found != shown_.end() && found->second.posting == posting)
            found->second.serverID = serverID;
        else if (found == shown_.end())
            call("CloseNotification", g_variant_new("(u)", serverID), nullptr, [](GVariant*) {});
    });
}

void DesktopNotifications::remove(const std::string& identifier)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto found = shown_.find(identifier);
    if (found == shown_.end())
        return;
    if (const auto serverID = found->second.serverID)
        call("CloseNotification", g_variant_new("(u)", serverID), nullptr, [](GVariant*) {});
    shown_.erase(found);
}

void DesktopNotifications::signalled(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal,
    GVariant* parameters, gpointer data)
{
    auto& self = *static_cast<DesktopNotifications*>(data);
    std::uint32_t serverID = 0;
    const gchar* action = nullptr;
    const bool invoked = std::strcmp(signal, "ActionInvoked") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(us)"));
    if (invoked)
        g_variant_get(parameters, "(u&s)", &serverID, &action);
    else if (std::strcmp(signal, "NotificationClosed") == 0 && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(uu)")))
        g_variant_get(parameters, "(uu)", &serverID, nullptr);
    else
        return;
    for (auto found = self.shown_.begin(); found != self.shown_.end(); ++found) {
        if (found->second.serverID != serverID || serverID == 0)
            continue;
        // Taken out first: the click may post again under the same identifier.
        auto clicked = std::move(found->second.clicked);
        self.shown_.erase(found);
        if (invoked && std::strcmp(action, "default") == 0 && clicked)
            clicked();
        return;
    }
}

} // namespace tintra
