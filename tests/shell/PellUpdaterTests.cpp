#include "fakes/DefaultsMemory.h"
#include "fakes/ManualExecutor.h"
#include "fakes/UpdaterFakes.h"
#include "shell/PellUpdater.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

const std::string signingKey = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";

std::vector<TintraAppcastItem> feedOf(const std::string& version)
{
    return { { .version = version, .displayVersion = version, .fileURL = "https://example/" + version } };
}

class PellUpdaterTest : public ::testing::Test {
protected:
    std::unique_ptr<PellUpdater> makeUpdater(std::optional<std::string> cannotStart = std::nullopt,
        std::string feedURL = "https://updates.example/appcast.xml")
    {
        return std::make_unique<PellUpdater>(feed, driver, notifications, defaults, executor, clock,
            PellUpdater::Configuration { .version = "0.1.0", .feedURL = std::move(feedURL), .publicEDKey = signingKey,
                .cannotStartReason = std::move(cannotStart), .applicationName = "Tintra Dorvel" });
    }

    ManualClock clock;
    ManualExecutor executor { clock };
    DefaultsMemory defaults;
    UpdateFeedFake feed;
    UpdateUserDriverFake driver;
    UserNotificationsFake notifications;
};

TEST_F(PellUpdaterTest, ABackgroundUpdateWaitsInAReminderThatOpensItsWindow)
{
    auto updater = makeUpdater();
    updater->setChecksAutomatically(true);
    updater->start();
    executor.advance(PellUpdater::Configuration().firstCheckDelay);
    ASSERT_EQ(feed.pending.size(), 1u);
    EXPECT_FALSE(updater->canCheckForUpdates().get());
    feed.answer(feedOf("0.2.0"));

    ASSERT_EQ(notifications.shown.count("PellUpdateAvailable"), 1u);
    EXPECT_EQ(notifications.shown.at("PellUpdateAvailable").title, "Tintra Dorvel 0.2.0 is available");
    EXPECT_EQ(notifications.shown.at("PellUpdateAvailable").body, "Click to install it.");
    EXPECT_TRUE(driver.shown.empty());
    // Asked once, however often the switch is turned on.
    updater->setChecksAutomatically(false);
    updater->setChecksAutomatically(true);
    EXPECT_EQ(notifications.authorizationRequests, 1);

    notifications.click("PellUpdateAvailable");
    ASSERT_EQ(feed.pending.size(), 1u);
    feed.answer(feedOf("0.2.0"));
    EXPECT_EQ(driver.shown, std::vector<std::string> { "update 0.2.0" });
}

TEST_F(PellUpdaterTest, ABackgroundUpdateShowsAtOnceInFrontOrWithoutClickableNotifications)
{
    notifications.grants = false;
    auto updater = makeUpdater();
    updater->setChecksAutomatically(true);
    updater->start();
    executor.advance(PellUpdater::Configuration().firstCheckDelay);
    feed.answer(feedOf("0.2.0"));
    EXPECT_EQ(driver.shown, std::vector<std::string> { "update 0.2.0" });

    notifications.grants = true;
    driver.isActive = true;
    auto inFront = makeUpdater();
    inFront->start();
    inFront->setChecksAutomatically(true);
    executor.advance(PellUpdater::checkInterval);
    ASSERT_EQ(feed.pending.size(), 2u);
    feed.answer(feedOf("0.2.0"));
    feed.answer(feedOf("0.2.0"));
    EXPECT_TRUE(notifications.shown.empty());
    EXPECT_EQ(driver.shown.size(), 3u);
}

TEST_F(PellUpdaterTest, ChecksRunDailyFromTheLastOneAndTheUsersAreAnswered)
{
    auto updater = makeUpdater();
    updater->start();
    EXPECT_FALSE(updater->lastCheckText());
    updater->checkForUpdates();
    updater->checkForUpdates(); // one at a time
    ASSERT_EQ(feed.pending.size(), 1u);
    feed.answer(feedOf("0.1.0"));
    updater->checkForUpdates();
    feed.answer(tl::unexpected(std::string("The update feed could not be read: timed out.")));
    EXPECT_EQ(driver.shown,
        (std::vector<std::string> { "up to date", "error The update feed could not be read: timed out." }));
    EXPECT_EQ(updater->lastCheckDate().get(), clock.now());
    EXPECT_TRUE(updater->lastCheckText().value().starts_with("Last checked "));
    // Off by default: nothing was scheduled.
    EXPECT_EQ(executor.scheduledCount(), 0u);

    // The next run takes the last check from the defaults and waits out the rest of the day.
    updater.reset();
    clock.advance(std::chrono::hours(20));
    defaults.set("SUEnableAutomaticChecks", true);
    auto next = makeUpdater();
    next->start();
    executor.advance(std::chrono::hours(4) - std::chrono::seconds(1));
    EXPECT_TRUE(feed.pending.empty());
    executor.advance(std::chrono::seconds(1));
    EXPECT_EQ(feed.pending.size(), 1u);
}

TEST_F(PellUpdaterTest, ACopyThatCannotUpdateNeverChecksAndSaysWhy)
{
    defaults.set("SUEnableAutomaticChecks", true);
    const std::string reason = "Tintra Dorvel was installed by the system's package manager, so its updates come from there.";
    auto packaged = makeUpdater(reason);
    packaged->start();
    EXPECT_EQ(packaged->problemDescription(), reason);
    EXPECT_EQ(packaged->startFailureDescription().get(), reason);

    auto unconfigured = makeUpdater(std::nullopt, "");
    unconfigured->start();
    EXPECT_EQ(unconfigured->problemDescription(), "No appcast URL is set, so there is nothing to check against.");
    for (auto* updater : { packaged.get(), unconfigured.get() }) {
        EXPECT_FALSE(updater->canCheckForUpdates().get());
        updater->checkForUpdates();
    }
    executor.advance(PellUpdater::checkInterval);
    EXPECT_TRUE(feed.pending.empty());
}

} // namespace
} // namespace tintra
