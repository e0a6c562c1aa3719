#pragma once

#include "accessibility/Accessibility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// What the accessibility port promises, whichever adapter keeps it. Each
// adapter's tests instantiate the suite with a world of their own:
//
//   struct World {
//       std::optional<std::string> skipReason;
//       static constexpr Duration timeoutSlack;  // how late a time-out may end
//       Accessibility& accessibility();
//       std::int32_t processIdentifier() const;  // of the one running application
//       AXElement window();                      // its window, once it shows
//       void openWindow();                       // it opens another window
//       void stop();                             // it stops answering ...
//       void resume();                           // ... and answers again
//       void kill();                             // it dies without closing its windows
//       bool runUntil(const std::function<bool()>& done, Duration limit);  // the main executor runs
//       Duration timed(const std::function<void()>& call);  // on the world's own clock
//   };
template <typename World>
class AccessibilityContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (world.skipReason)
            GTEST_SKIP() << *world.skipReason;
    }

    struct Heard {
        AXElement element;
        std::string notification;
        AXContext context;
    };

    std::unique_ptr<AXObserver> observe(std::vector<Heard>& heard)
    {
        auto observer = world.accessibility().createObserver(world.processIdentifier(),
            [&heard](const AXElement& element, const std::string& notification, AXContext context) {
                heard.push_back({ element, notification, context });
            });
        EXPECT_TRUE(observer.has_value());
        if (!observer)
            return nullptr;
        (*observer)->start();
        return std::move(*observer);
    }

    std::optional<std::string> role(const AXElement& element)
    {
        const auto value = world.accessibility().copyAttributeValue(element, "AXRole");
        return value && value->template get<std::string>() ? std::optional(*value->template get<std::string>()) : std::nullopt;
    }

    World world;
};

TYPED_TEST_SUITE_P(AccessibilityContract);

TYPED_TEST_P(AccessibilityContract, ElementsAreValuesThatCompareEqualAcrossLookUps)
{
    auto& ax = this->world.accessibility();
    const auto application = ax.applicationElement(this->world.processIdentifier());
    EXPECT_EQ(application, ax.applicationElement(this->world.processIdentifier()));
    EXPECT_EQ(ax.processIdentifier(application), this->world.processIdentifier());
    EXPECT_EQ(this->role(application), "AXApplication");

    const auto window = this->world.window();
    EXPECT_EQ(this->role(window), "AXWindow");
    EXPECT_EQ(ax.copyAttributeValue(application, "AXFocusedWindow"), AXValue::element(window));
    const auto windows = ax.copyAttributeValue(application, "AXWindows");
    ASSERT_TRUE(windows && windows->template get<AXValue::List>());
    EXPECT_EQ(windows, ax.copyAttributeValue(application, "AXWindows"));
    EXPECT_NE(std::find(windows->template get<AXValue::List>()->begin(), windows->template get<AXValue::List>()->end(),
                  AXValue::element(window)),
        windows->template get<AXValue::List>()->end());
    EXPECT_NE(window, application);
}

TYPED_TEST_P(AccessibilityContract, AStoppedApplicationFailsWithCannotCompleteWithinItsTimeoutAndAnswersOnceResumed)
{
    auto& ax = this->world.accessibility();
    const auto window = this->world.window();
    const auto timeout = std::chrono::milliseconds(250);
    ASSERT_EQ(ax.setMessagingTimeout(window, timeout), AXError::success);

    this->world.stop();
    AXAttributeResult title;
    const auto took = this->world.timed([&] { title = ax.copyAttributeValue(window, "AXTitle"); });
    EXPECT_EQ(title, tl::unexpected(AXError::cannotComplete));
    // Given up neither before half its time-out nor after it.
    EXPECT_GE(took, timeout / 2);
    EXPECT_LE(took, timeout + TypeParam::timeoutSlack);
    // Who it belongs to is the bus's knowledge, not the application's.
    EXPECT_EQ(ax.processIdentifier(window), this->world.processIdentifier());

    this->world.resume();
    EXPECT_TRUE(this->world.runUntil([&] { return ax.copyAttributeValue(window, "AXTitle").has_value(); }, seconds(10)));
}

TYPED_TEST_P(AccessibilityContract, ARegistrationOnTheApplicationHearsItsNewWindowsUntilRemoved)
{
    auto& ax = this->world.accessibility();
    const auto application = ax.applicationElement(this->world.processIdentifier());
    std::vector<typename TestFixture::Heard> heard;
    auto observer = this->observe(heard);
    ASSERT_TRUE(observer);
    ASSERT_EQ(observer->addNotification(application, "AXWindowCreated", 5), AXError::success);
    EXPECT_EQ(observer->addNotification(application, "AXWindowCreated", 5), AXError::notificationAlreadyRegistered);

    this->world.openWindow();
    ASSERT_TRUE(this->world.runUntil([&] { return !heard.empty(); }, seconds(10)));
    EXPECT_EQ(heard.front().notification, "AXWindowCreated");
    EXPECT_EQ(heard.front().context, 5);
    EXPECT_EQ(this->role(heard.front().element), "AXWindow");
    EXPECT_NE(heard.front().element, this->world.window());

    EXPECT_EQ(observer->removeNotification(application, "AXWindowCreated"), AXError::success);
    heard.clear();
    this->world.openWindow();
    const auto windowCount = [&] {
        const auto windows = ax.copyAttributeValue(application, "AXWindows");
        return windows && windows->template get<AXValue::List>() ? windows->template get<AXValue::List>()->size() : 0;
    };
    EXPECT_TRUE(this->world.runUntil([&] { return windowCount() == 3; }, seconds(10))) << "the third window did not open";
    this->world.runUntil([] { return false; }, seconds(1));
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(observer->removeNotification(application, "AXWindowCreated"), AXError::notificationNotRegistered);
}

TYPED_TEST_P(AccessibilityContract, AKilledApplicationsWindowIsDestroyedAndItsElementsAreInvalid)
{
    auto& ax = this->world.accessibility();
    const auto window = this->world.window();
    std::vector<typename TestFixture::Heard> heard;
    auto observer = this->observe(heard);
    ASSERT_TRUE(observer);
    ASSERT_EQ(observer->addNotification(window, "AXUIElementDestroyed", 7), AXError::success);

    this->world.kill();
    ASSERT_TRUE(this->world.runUntil([&] { return !heard.empty(); }, seconds(10)));
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard.front().element, window);
    EXPECT_EQ(heard.front().context, 7);
    EXPECT_TRUE(this->world.runUntil([&] { return !ax.processIdentifier(window); }, seconds(10)));
    EXPECT_EQ(ax.copyAttributeValue(window, "AXRole"), tl::unexpected(AXError::invalidUIElement));
}

REGISTER_TYPED_TEST_SUITE_P(AccessibilityContract, ElementsAreValuesThatCompareEqualAcrossLookUps,
    AStoppedApplicationFailsWithCannotCompleteWithinItsTimeoutAndAnswersOnceResumed,
    ARegistrationOnTheApplicationHearsItsNewWindowsUntilRemoved, AKilledApplicationsWindowIsDestroyedAndItsElementsAreInvalid);

} // namespace tintra
