#include "shell/PellUpdater.h"

#include "shell/UpdateRules.h"
#include "support/MainThread.h"

#include <unicode/datefmt.h>

#include <iostream>
#include <memory>

namespace tintra {
namespace {

// The keys Sparkle keeps the same two settings under.
constexpr const char* automaticChecksKey = "SUEnableAutomaticChecks";
constexpr const char* lastCheckKey = "SULastCheckTime";

std::optional<WallTime> storedDate(const Defaults& defaults, const char* key)
{
    const auto value = defaults.valueForKey(key);
    const WallTime* date = value ? value->asDate() : nullptr;
    return date ? std::optional(*date) : std::nullopt;
}

} // namespace

PellUpdater::PellUpdater(UpdateFeed& feed, UpdateUserDriver& driver, UserNotifications& notifications,
    Defaults& defaults, MainExecutor& executor, const Clock& clock, Configuration configuration)
    : feed_(feed)
    , driver_(driver)
    , defaults_(defaults)
    , executor_(executor)
    , clock_(clock)
    , configuration_(std::move(configuration))
    , reminder_(notifications, configuration_.applicationName)
    // Off until the user turns it on: nothing is asked of the network unbidden.
    , checksAutomatically_(defaults.boolForKey(automaticChecksKey, false))
    , lastCheckDate_(storedDate(defaults, lastCheckKey))
{
    reminder_.setShowUpdateInFocus([this] { checkForUpdates(); });
}

void PellUpdater::start()
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (checksAutomatically_.get())
        reminder_.prepare();
    if (configuration_.cannotStartReason) {
        startFailureDescription_.set(configuration_.cannotStartReason);
        std::cout << "PellUpdater: " << *configuration_.cannotStartReason << std::endl;
        return;
    }
    startFailureDescription_.set(std::nullopt);
    isStarted_ = true;
    canCheckForUpdates_.set(!problemDescription());
    scheduleNextCheck();
}

void PellUpdater::checkForUpdates()
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (canCheckForUpdates_.get())
        check(true);
}

void PellUpdater::setChecksAutomatically(bool on)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (on == checksAutomatically_.get())
        return;
    defaults_.set(automaticChecksKey, on);
    checksAutomatically_.set(on);
    if (on)
        reminder_.prepare();
    scheduleNextCheck();
}

std::optional<std::string> PellUpdater::problemDescription() const
{
    return updateProblemDescription(startFailureDescription_.get(), configuration_.feedURL, configuration_.publicEDKey);
}

std::optional<std::string> PellUpdater::lastCheckText() const
{
    const auto& date = lastCheckDate_.get();
    if (!date)
        return std::nullopt;
    const std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kShort));
    if (!format)
        return std::nullopt;
    icu::UnicodeString text;
    format->format(UDate(std::chrono::duration_cast<std::chrono::milliseconds>(date->time_since_epoch()).count()), text);
    std::string utf8;
    return "Last checked " + text.toUTF8String(utf8) + ".";
}

void PellUpdater::scheduleNextCheck()
{
    nextCheck_.cancel();
    if (!isStarted_ || !checksAutomatically_.get() || problemDescription())
        return;
    Duration wait = configuration_.firstCheckDelay;
    if (const auto& last = lastCheckDate_.get()) {
        // A clock set back leaves the last check in the future: a full interval from now.
        const auto sinceLast = std::chrono::duration_cast<Duration>(clock_.now() - *last);
        wait = sinceLast < Duration::zero() ? checkInterval : std::max(checkInterval - sinceLast, configuration_.firstCheckDelay);
    }
    nextCheck_ = executor_.schedule(wait, weakSelf_.bind([](PellUpdater& self) { self.check(false); }));
}

void PellUpdater::check(bool userInitiated)
{
    if (isChecking_)
        return;
    isChecking_ = true;
    nextCheck_.cancel();
    canCheckForUpdates_.set(false);
    feed_.fetchItems(weakSelf_.bind(
        [userInitiated](PellUpdater& self, UpdateFeed::Items items) { self.finishCheck(userInitiated, std::move(items)); }));
}

void PellUpdater::finishCheck(bool userInitiated, UpdateFeed::Items items)
{
    isChecking_ = false;
    const WallTime now = clock_.now();
    defaults_.set(lastCheckKey, now);
    lastCheckDate_.set(now);
    canCheckForUpdates_.set(true);
    scheduleNextCheck();

    if (!items) {
        if (userInitiated)
            driver_.showUpdateError(items.error());
        else
            std::cout << "PellUpdater: " << items.error() << std::endl;
        return;
    }
    const auto update = newestUpdate(*items, configuration_.version, allowedUpdateChannels(configuration_.version));
    if (!update) {
        if (userInitiated)
            driver_.showUpToDate();
        return;
    }
    if (userInitiated || reminder_.shouldShowScheduledUpdateItself(driver_.isApplicationActive()))
        showUpdate(*update);
    else
        reminder_.remind(*update);
}

void PellUpdater::showUpdate(const TintraAppcastItem& update)
{
    reminder_.updateReceivedAttention();
    driver_.showUpdate(update);
}

} // namespace tintra
