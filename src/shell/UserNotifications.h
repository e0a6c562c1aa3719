#pragma once

#include <functional>
#include <string>

namespace tintra {

// The desktop's notifications. Main thread only; every callback runs on it.
class UserNotifications {
public:
    virtual ~UserNotifications() = default;

    // Whether a notification that the user can click will be shown.
    virtual void requestAuthorization(std::function<void(bool granted)> completion) = 0;
    // Shows a notification at once, with the default sound, in place of one
    // with the same identifier; `clicked` runs when the user clicks it.
    virtual void post(const std::string& identifier, const std::string& title, const std::string& body,
        std::function<void()> clicked)
        = 0;
    // Takes the notification with this identifier away, if it is still shown.
    virtual void remove(const std::string& identifier) = 0;
};

} // namespace tintra
