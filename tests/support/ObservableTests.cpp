#include "support/Observable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

TEST(Observable, TellsSubscribersAfterTheChangeAndNobodyForAnEqualValue)
{
    Observable<std::string> name("Standard");
    std::vector<std::string> seen;
    auto subscription = name.subscribe([&](const std::string& value) {
        EXPECT_EQ(value, name.get()); // already changed when told
        seen.push_back(value);
    });

    name.set("Standard");
    name.set("Platinum");
    name.set("Platinum");
    name.set("Hi-Tech");

    EXPECT_EQ(seen, (std::vector<std::string> { "Platinum", "Hi-Tech" }));
}

TEST(Observable, SubscriptionEndsWhenItsHandleIsDropped)
{
    Observable<int> volume(1);
    int calls = 0;
    {
        auto subscription = volume.subscribe([&](int) { ++calls; });
        volume.set(2);
    }
    volume.set(3);
    EXPECT_EQ(calls, 1);
}

TEST(Observable, ObserverMayDropAnotherSubscriptionWhileBeingTold)
{
    Observable<int> value(0);
    Subscription second;
    int firstCalls = 0;
    int secondCalls = 0;
    auto first = value.subscribe([&](int) {
        ++firstCalls;
        second.cancel();
    });
    second = value.subscribe([&](int) { ++secondCalls; });

    value.set(1);
    value.set(2);

    EXPECT_EQ(firstCalls, 2);
    EXPECT_EQ(secondCalls, 0);
}

} // namespace
} // namespace tintra
