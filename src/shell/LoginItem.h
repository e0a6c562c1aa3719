#pragma once

#include "shell/LoginItemService.h"
#include "support/Observable.h"

#include <optional>
#include <string>

namespace tintra {

// "Open at login": the settings switch over the platform's login-item
// facility, with the line shown under the switch when something is in the
// way. A copy on a read-only volume is never registered, since the session
// could not open it from there at login. The status is read at creation and
// after every change, never polled. Main thread only; the composition root
// makes the one instance.
class TintraLoginItem {
public:
    TintraLoginItem(TintraLoginItemService& service, bool isOnReadOnlyVolume);

    const Observable<TintraLoginItemStatus>& status() const { return status_; }
    const Observable<std::optional<std::string>>& failureDescription() const { return failureDescription_; }
    bool isOnReadOnlyVolume() const { return isOnReadOnlyVolume_; }

    // On while enabled or waiting for approval.
    bool isEnabled() const;
    void setEnabled(bool on);
    std::optional<std::string> statusDescription() const;

private:
    Observable<TintraLoginItemStatus> status_;
    Observable<std::optional<std::string>> failureDescription_;
    TintraLoginItemService& service_;
    const bool isOnReadOnlyVolume_;
};

} // namespace tintra
