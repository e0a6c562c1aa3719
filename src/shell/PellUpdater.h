#pragma once

#include "shell/PellUpdateReminder.h"
#include "shell/UpdateFeed.h"
#include "shell/UpdateUserDriver.h"
#include "support/Clock.h"
#include "support/Defaults.h"
#include "support/MainExecutor.h"
#include "support/Observable.h"
#include "support/WeakSelf.h"

#include <optional>
#include <string>

namespace tintra {

// Keeps the program up to date: checks the feed when the user asks and, while
// automatic checks are on, once a day; offers a newer item of the channels
// that our version may take, in a window or through the reminder; and says in
// one line why updating cannot work. Its settings live in the defaults.
// Main thread only.
class PellUpdater {
public:
    struct Configuration {
        // Our own version: what the feed's versions are compared with, and
        // what decides the channels.
        std::string version {};
        std::string feedURL {};
        std::string publicEDKey {};
        // Why this copy cannot update itself at all; none when it can.
        std::optional<std::string> cannotStartReason {};
        std::string applicationName {};
        // Lets the launch settle before a check that is due already.
        Duration firstCheckDelay = std::chrono::seconds(30);
    };

    static constexpr Duration checkInterval = std::chrono::hours(24);

    PellUpdater(UpdateFeed& feed, UpdateUserDriver& driver, UserNotifications& notifications, Defaults& defaults,
        MainExecutor& executor, const Clock& clock, Configuration configuration);

    void start();
    // The user asked: the answer is shown whatever it is.
    void checkForUpdates();
    void setChecksAutomatically(bool on);

    const Observable<bool>& checksAutomatically() const { return checksAutomatically_; }
    const Observable<bool>& canCheckForUpdates() const { return canCheckForUpdates_; }
    const Observable<std::optional<WallTime>>& lastCheckDate() const { return lastCheckDate_; }
    const Observable<std::optional<std::string>>& startFailureDescription() const { return startFailureDescription_; }

    std::optional<std::string> problemDescription() const;
    // "Last checked " and the date and time in the user's locale, then "."; none before any check.
    std::optional<std::string> lastCheckText() const;

private:
    void scheduleNextCheck();
    void check(bool userInitiated);
    void finishCheck(bool userInitiated, UpdateFeed::Items items);
    void showUpdate(const TintraAppcastItem& update);

    UpdateFeed& feed_;
    UpdateUserDriver& driver_;
    Defaults& defaults_;
    MainExecutor& executor_;
    const Clock& clock_;
    const Configuration configuration_;
    PellUpdateReminder reminder_;
    Observable<bool> checksAutomatically_;
    Observable<bool> canCheckForUpdates_ { false };
    Observable<std::optional<WallTime>> lastCheckDate_;
    Observable<std::optional<std::string>> startFailureDescription_;
    bool isStarted_ = false;
    bool isChecking_ = false;
    ScheduledWork nextCheck_;
    WeakSelf<PellUpdater> weakSelf_ { *this };
};

} // namespace tintra
