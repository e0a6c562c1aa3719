#include "shell/LoginItem.h"

#include "fakes/LoginItemServiceFake.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

TEST(LoginItem, TheSwitchShowsOnWhileEnabledOrWaitingAndTheLineNamesWhatIsInTheWay)
{
    LoginItemServiceFake service;
    service.current = TintraLoginItemStatus::requiresApproval;
    TintraLoginItem waiting(service, false);
    EXPECT_TRUE(waiting.isEnabled());
    EXPECT_EQ(waiting.statusDescription(), "Waiting to be approved under Login Items in Settings.");

    service.current = TintraLoginItemStatus::notFound;
    TintraLoginItem lost(service, false);
    EXPECT_FALSE(lost.isEnabled());
    EXPECT_EQ(lost.statusDescription(), "Linux cannot find this copy of Tintra Dorvel to open at login.");

    service.current = TintraLoginItemStatus::enabled;
    TintraLoginItem enabled(service, false);
    EXPECT_TRUE(enabled.isEnabled());
    EXPECT_EQ(enabled.statusDescription(), std::nullopt);
}

TEST(LoginItem, AFailureIsShownUntilTheNextSuccessAndObserversHearOnlyRealChanges)
{
    LoginItemServiceFake service;
    TintraLoginItem item(service, false);
    std::vector<TintraLoginItemStatus> statuses;
    int failureChanges = 0;
    auto statusSubscription = item.status().subscribe([&](TintraLoginItemStatus status) { statuses.push_back(status); });
    auto failureSubscription = item.failureDescription().subscribe([&](const auto&) { ++failureChanges; });

    service.results = { "Permission denied" };
    item.setEnabled(true);
    EXPECT_FALSE(item.isEnabled());
    EXPECT_EQ(item.statusDescription(), "Could not open Tintra Dorvel at login: Permission denied");
    EXPECT_TRUE(statuses.empty());

    item.setEnabled(false);
    EXPECT_EQ(item.failureDescription().get(), std::nullopt);
    EXPECT_EQ(item.statusDescription(), std::nullopt);
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(failureChanges, 2);

    item.setEnabled(true);
    EXPECT_EQ(statuses, std::vector { TintraLoginItemStatus::enabled });
    EXPECT_EQ(failureChanges, 2);

    service.results = { "Read-only file system" };
    item.setEnabled(false);
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(item.statusDescription(), "Could not stop opening Tintra Dorvel at login: Read-only file system");
}

TEST(LoginItem, ACopyOnAReadOnlyVolumeIsNeverRegisteredAndSaysWhy)
{
    LoginItemServiceFake service;
    TintraLoginItem item(service, true);
    item.setEnabled(true);
    EXPECT_EQ(service.calls, 0);
    EXPECT_FALSE(item.isEnabled());
    EXPECT_EQ(item.statusDescription(), "Move Tintra Dorvel to your Applications folder first. A copy running from a "
                                        "disk image is not somewhere Linux can open it from at login.");
}

} // namespace
} // namespace tintra
