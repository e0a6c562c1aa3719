#include "shell/PellUpdateReminder.h"

#include "support/MainThread.h"

namespace tintra {

PellUpdateReminder::PellUpdateReminder(UserNotifications& notifications, std::string applicationName)
    : notifications_(notifications)
    , applicationName_(std::move(applicationName))
{
}

void PellUpdateReminder::prepare()
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (hasRequestedAuthorization_)
        return;
    hasRequestedAuthorization_ = true;
    notifications_.requestAuthorization(
        weakSelf_.bind([](PellUpdateReminder& self, bool granted) { self.canPostNotification_ = granted; }));
}

bool PellUpdateReminder::shouldShowScheduledUpdateItself(bool applicationIsActive) const
{
    return applicationIsActive || !canPostNotification_;
}

void PellUpdateReminder::remind(const TintraAppcastItem& update)
{
    TINTRA_ASSERT_MAIN_THREAD();
    notifications_.post(notificationIdentifier, applicationName_ + " " + update.displayVersion + " is available",
        "Click to install it.", weakSelf_.bind([](PellUpdateReminder& self) {
            if (self.showUpdateInFocus_)
                self.showUpdateInFocus_();
        }));
}

void PellUpdateReminder::updateReceivedAttention()
{
    notifications_.remove(notificationIdentifier);
}

} // namespace tintra
