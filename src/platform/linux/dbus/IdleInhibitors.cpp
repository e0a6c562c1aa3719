#include "platform/linux/dbus/IdleInhibitors.h"

#include <string_view>

namespace tintra {

namespace {

// GNOME's Inhibit flag for "the session may not be marked idle".
constexpr std::uint32_t kGnomeInhibitIdle = 8;

bool names(std::string_view list, std::string_view what)
{
    while (!list.empty()) {
        const auto colon = list.find(':');
        if (list.substr(0, colon) == what)
            return true;
        if (colon == std::string_view::npos)
            break;
        list.remove_prefix(colon + 1);
    }
    return false;
}

std::vector<IdleInhibitor> idleBlocks(GVariant* reply)
{
    std::vector<IdleInhibitor> found;
    if (!reply || !g_variant_is_of_type(reply, G_VARIANT_TYPE("(a(ssssuu))")))
        return found;
    GVariantIter* iterator = nullptr;
    g_variant_get(reply, "(a(ssssuu))", &iterator);
    const gchar *what, *who, *why, *mode;
    guint32 uid, pid;
    while (g_variant_iter_next(iterator, "(&s&s&s&suu)", &what, &who, &why, &mode, &uid, &pid)) {
        if (names(what, "idle") && std::string_view(mode) == "block")
            found.push_back(IdleInhibitor { pid_t(pid), who, why });
    }
    g_variant_iter_free(iterator);
    return found;
}

} // namespace

IdleInhibitors::IdleInhibitors(MainExecutor& main)
    : main_(main)
    , logind_(G_BUS_TYPE_SYSTEM, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
          "programs that keep the screen awake are not seen through logind")
    , sessionManager_(G_BUS_TYPE_SESSION, "org.gnome.SessionManager", "/org/gnome/SessionManager",
          "org.gnome.SessionManager", "programs that keep the screen awake are not seen through the GNOME session")
{
    logind_.setOnChange([this] {
        if (!logind_.hasOwner())
            fromLogind_.clear();
        update();
        askLogind();
    });
    sessionManager_.setOnChange([this] { update(); });
}

void IdleInhibitors::askLogind()
{
    if (asking_ || !logind_.hasOwner())
        return;
    asking_ = true;
    nextPoll_.cancel();
    logind_.call("ListInhibitors", nullptr, self_.bind([](IdleInhibitors& self, GVariantHandle reply) {
        self.asking_ = false;
        self.fromLogind_ = idleBlocks(reply.get());
        self.update();
        self.nextPoll_ = self.main_.schedule(pollInterval, self.self_.bind([](IdleInhibitors& again) { again.askLogind(); }));
    }));
}

void IdleInhibitors::update()
{
    auto all = fromLogind_;
    if (auto actions = sessionManager_.property("InhibitedActions");
        actions && g_variant_is_of_type(actions.get(), G_VARIANT_TYPE_UINT32)
        && (g_variant_get_uint32(actions.get()) & kGnomeInhibitIdle) != 0)
        all.push_back(IdleInhibitor { 0, "GNOME session", "the session is kept from going idle" });
    if (all == inhibitors_)
        return;
    inhibitors_ = std::move(all);
    if (onChange_)
        onChange_();
}

} // namespace tintra
