#pragma once

#include "platform/linux/dbus/BusProxy.h"
#include "support/MainExecutor.h"
#include "support/WeakSelf.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace tintra {

// Something that keeps the screen from going idle: a logind "idle" block
// inhibitor with its process, or the GNOME session's idle inhibition, whose
// process the session manager does not tell (pid 0).
struct IdleInhibitor {
    pid_t pid = 0;
    std::string who;
    std::string why;

    bool operator==(const IdleInhibitor&) const = default;
};

// The idle inhibitors the desktop keeps, in memory. logind's ListInhibitors
// has no change signal, so it is asked again every two seconds while logind
// runs, without waiting; the GNOME session manager's InhibitedActions follow
// its property changes. Main thread only; `onChange` runs after the list changed.
class IdleInhibitors {
public:
    explicit IdleInhibitors(MainExecutor& main);
    IdleInhibitors(const IdleInhibitors&) = delete;
    IdleInhibitors& operator=(const IdleInhibitors&) = delete;

    // Whether any source of inhibitors is on the bus.
    bool isKnown() const { return logind_.hasOwner() || sessionManager_.hasOwner(); }
    const std::vector<IdleInhibitor>& inhibitors() const { return inhibitors_; }
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    static constexpr Duration pollInterval = seconds(2);

private:
    void askLogind();
    void update();

    MainExecutor& main_;
    BusProxy logind_;
    BusProxy sessionManager_;
    std::vector<IdleInhibitor> fromLogind_;
    std::vector<IdleInhibitor> inhibitors_;
    ScheduledWork nextPoll_;
    bool asking_ = false;
    std::function<void()> onChange_;
    WeakSelf<IdleInhibitors> self_ { *this };
};

} // namespace tintra
