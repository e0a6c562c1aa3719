#pragma once

#include "shell/Appcast.h"
#include "shell/UserNotifications.h"
#include "support/WeakSelf.h"

#include <functional>
#include <string>

namespace tintra {

// The gentle reminder: an update found by a background check is told by a
// notification while none of our windows is in front, and the update window
// opens when the user clicks it. Main thread only.
class PellUpdateReminder {
public:
    static constexpr const char* notificationIdentifier = "PellUpdateAvailable";

    PellUpdateReminder(UserNotifications& notifications, std::string applicationName);

    // Asks the desktop once per process whether notifications can be clicked.
    void prepare();
    // Set by the updater: a check that brings the update window forward.
    void setShowUpdateInFocus(std::function<void()> show) { showUpdateInFocus_ = std::move(show); }

    // Whether a background check shows its update in a window at once,
    // rather than leaving it to the reminder.
    bool shouldShowScheduledUpdateItself(bool applicationIsActive) const;
    void remind(const TintraAppcastItem& update);
    // The update window is up: the reminder has done its job.
    void updateReceivedAttention();

private:
    UserNotifications& notifications_;
    std::string applicationName_;
    std::function<void()> showUpdateInFocus_;
    bool canPostNotification_ = false;
    bool hasRequestedAuthorization_ = false;
    WeakSelf<PellUpdateReminder> weakSelf_ { *this };
};

} // namespace tintra
