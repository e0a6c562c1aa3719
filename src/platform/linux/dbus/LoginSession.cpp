#include "platform/linux/dbus/LoginSession.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <utility>

namespace tintra {

namespace {

constexpr const char* login1 = "org.freedesktop.login1";

} // namespace

LoginSession::LoginSession()
    : manager_(G_BUS_TYPE_SYSTEM, login1, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
          "logging out and switching users are not heard")
{
    manager_.setOnChange([this] { findSession(); });
    manager_.setOnSignal([this](const char* signal, GVariant* parameters) {
        gboolean starting = FALSE;
        if (std::strcmp(signal, "PrepareForShutdown") != 0 || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)")))
            return;
        g_variant_get(parameters, "(b)", &starting);
        // It is sent again with false when the shutdown was called off.
        if (starting)
            end();
        else
            ending_ = false;
    });
}

LoginSession::~LoginSession() = default;

void LoginSession::findSession()
{
    if (session_ || asking_ || !manager_.hasOwner())
        return;
    asking_ = true;
    manager_.call("GetSessionByPID", g_variant_new("(u)", guint32(getpid())),
        [this](GVariantHandle reply) { follow(std::move(reply), true); });
}

void LoginSession::follow(GVariantHandle reply, bool byProcess)
{
    if (!reply && byProcess) {
        if (const char* id = std::getenv("XDG_SESSION_ID"); id && *id) {
            manager_.call("GetSession", g_variant_new("(s)", id), [this](GVariantHandle reply) { follow(std::move(reply), false); });
            return;
        }
    }
    asking_ = false;
    if (!reply || !g_variant_is_of_type(reply.get(), G_VARIANT_TYPE("(o)"))) {
        std::cerr << "Tintra Dorvel: logind knows no session of this process, so switching users is not heard." << std::endl;
        return;
    }
    const char* path = nullptr;
    g_variant_get(reply.get(), "(&o)", &path);
    session_ = std::make_unique<BusProxy>(G_BUS_TYPE_SYSTEM, login1, path, "org.freedesktop.login1.Session", "");
    session_->setOnChange([this] { sessionChanged(); });
}

void LoginSession::end()
{
    if (!std::exchange(ending_, true) && onPowerOff_)
        onPowerOff_();
}

void LoginSession::sessionChanged()
{
    // A logout: logind closes the session while its programs are still running. A session
    // found closing already is one that programs outlived.
    if (const auto state = session_->property("State"); state && g_variant_is_of_type(state.get(), G_VARIANT_TYPE_STRING)) {
        const bool closing = std::strcmp(g_variant_get_string(state.get(), nullptr), "closing") == 0;
        const auto before = std::exchange(closing_, closing);
        if (closing && before == false)
            end();
    }
    const auto value = session_->property("Active");
    if (!value || !g_variant_is_of_type(value.get(), G_VARIANT_TYPE_BOOLEAN))
        return;
    const bool active = g_variant_get_boolean(value.get());
    const auto before = std::exchange(active_, active);
    if (before && *before != active && onActiveChanged_)
        onActiveChanged_(active);
}

} // namespace tintra
