#pragma once

#include "platform/linux/dbus/BusProxy.h"

#include <functional>
#include <memory>
#include <optional>

namespace tintra {

// This process's login session as logind on the system bus tells it: the
// machine about to power off or restart (PrepareForShutdown) or the session
// closing at a logout (its State "closing"), told once however both come, and
// the session switched away from and back to (its Active property). The
// session is the one logind names for this process, else the one of
// $XDG_SESSION_ID. Main
// thread only. Without logind, or outside any session, it says so once on
// standard error and tells nothing.
class LoginSession {
public:
    LoginSession();
    ~LoginSession();
    LoginSession(const LoginSession&) = delete;
    LoginSession& operator=(const LoginSession&) = delete;

    // Whether the session is the one on screen; none until logind told.
    std::optional<bool> isActive() const { return active_; }

    void setOnPowerOff(std::function<void()> onPowerOff) { onPowerOff_ = std::move(onPowerOff); }
    void setOnActiveChanged(std::function<void(bool active)> onActiveChanged) { onActiveChanged_ = std::move(onActiveChanged); }

private:
    void findSession();
    void follow(GVariantHandle reply, bool byProcess);
    void sessionChanged();
    void end();

    BusProxy manager_;
    std::unique_ptr<BusProxy> session_;
    bool asking_ = false;
    std::optional<bool> active_;
    bool ending_ = false;
    std::optional<bool> closing_; // none until logind told
    std::function<void()> onPowerOff_;
    std::function<void(bool)> onActiveChanged_;
};

} // namespace tintra
