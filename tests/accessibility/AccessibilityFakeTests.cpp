#include "fakes/AccessibilityFake.h"
#include "fakes/ManualExecutor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

constexpr std::int32_t mail = 42;
constexpr std::int32_t notes = 43;

struct Heard {
    AXElement element;
    std::string notification;
    AXContext context;
    friend bool operator==(const Heard&, const Heard&) = default;
};

class AccessibilityFakeTest : public ::testing::Test {
protected:
    AccessibilityFakeTest()
    {
        app = ax.addApplication(mail, { { "AXRole", AXValue::text("AXApplication") }, { "AXTitle", AXValue::text("Mail") } });
        window = ax.addElement(app, { { "AXRole", AXValue::text("AXWindow") }, { "AXTitle", AXValue::text("Inbox") } });
        start = clock.monotonicNow();
    }

    Duration elapsed() const { return clock.monotonicNow() - start; }

    std::unique_ptr<AXObserver> observe(std::int32_t pid, std::vector<Heard>& heard)
    {
        auto observer = ax.createObserver(pid, [&heard](const AXElement& element, const std::string& name, AXContext context) {
            heard.push_back({ element, name, context });
        });
        EXPECT_TRUE(observer.has_value());
        (*observer)->start();
        return std::move(*observer);
    }

    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake ax { clock, executor };
    AXElement app;
    AXElement window;
    MonotonicTime start;
};

// --- Answer delays and messaging time-outs

using AccessibilityFakeTimeouts = AccessibilityFakeTest;

TEST_F(AccessibilityFakeTimeouts, AnAnswerWithinTheTimeoutCostsTheDelay)
{
    ax.setAnswerDelay(mail, seconds(0.2));
    ax.setMessagingTimeout(app, seconds(0.25));

    auto title = ax.copyAttributeValue(app, "AXTitle");

    ASSERT_TRUE(title.has_value());
    EXPECT_EQ(*title, AXValue::text("Mail"));
    EXPECT_EQ(elapsed(), seconds(0.2));
}

TEST_F(AccessibilityFakeTimeouts, ADelayEqualToTheTimeoutStillAnswers)
{
    ax.setAnswerDelay(mail, seconds(0.25));
    ax.setMessagingTimeout(app, seconds(0.25));

    EXPECT_TRUE(ax.copyAttributeValue(app, "AXTitle").has_value());
    EXPECT_EQ(elapsed(), seconds(0.25));
}

TEST_F(AccessibilityFakeTimeouts, EveryQuestionToASlowApplicationFailsAfterTheTimeout)
{
    ax.setAnswerDelay(mail, seconds(0.3));
    ax.setMessagingTimeout(app, seconds(0.25));

    EXPECT_EQ(ax.copyAttributeValue(app, "AXTitle").error(), AXError::cannotComplete);
    EXPECT_EQ(ax.copyMultipleAttributeValues(app, { "AXTitle" }).error(), AXError::cannotComplete);
    EXPECT_EQ(ax.copyAttributeNames(app).error(), AXError::cannotComplete);
    EXPECT_EQ(ax.copyActionNames(app).error(), AXError::cannotComplete);
    EXPECT_EQ(ax.copyParameterizedAttributeNames(app).error(), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), 5 * seconds(0.25));
}

TEST_F(AccessibilityFakeTimeouts, WithoutATimeoutTheDefaultIsSixSeconds)
{
    ax.setAnswerDelay(mail, seconds(5.9));
    EXPECT_TRUE(ax.copyAttributeValue(window, "AXTitle").has_value());
    EXPECT_EQ(elapsed(), seconds(5.9));

    ax.setAnswerDelay(mail, seconds(6.5));
    EXPECT_EQ(ax.copyAttributeValue(window, "AXTitle").error(), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), seconds(5.9) + seconds(6));
}

TEST_F(AccessibilityFakeTimeouts, ATimeoutBindsOnlyTheElementItWasSetOn)
{
    const auto otherApp = ax.addApplication(notes, { { "AXTitle", AXValue::text("Notes") } });
    ax.setAnswerDelay(mail, seconds(1));
    ax.setAnswerDelay(notes, seconds(1));
    ax.setMessagingTimeout(app, seconds(0.25));

    EXPECT_EQ(ax.copyAttributeValue(app, "AXTitle").error(), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), seconds(0.25));
    EXPECT_TRUE(ax.copyAttributeValue(window, "AXTitle").has_value());
    EXPECT_TRUE(ax.copyAttributeValue(otherApp, "AXTitle").has_value());
    EXPECT_EQ(elapsed(), seconds(0.25) + seconds(2));
}

TEST_F(AccessibilityFakeTimeouts, TheSystemWideTimeoutBindsElementsWithoutTheirOwn)
{
    ax.setAnswerDelay(mail, seconds(0.2));
    ax.setMessagingTimeout(ax.systemWideElement(), seconds(0.1));
    ax.setMessagingTimeout(app, seconds(0.25));

    EXPECT_EQ(ax.effectiveMessagingTimeout(window), seconds(0.1));
    EXPECT_EQ(ax.copyAttributeValue(window, "AXTitle").error(), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), seconds(0.1));
    EXPECT_TRUE(ax.copyAttributeValue(app, "AXTitle").has_value());
    EXPECT_EQ(elapsed(), seconds(0.3));
}

TEST_F(AccessibilityFakeTimeouts, ZeroRestoresTheDefaultAndANegativeTimeoutIsRefused)
{
    ax.setMessagingTimeout(ax.systemWideElement(), seconds(0.1));
    ax.setMessagingTimeout(window, seconds(0.5));

    EXPECT_EQ(ax.setMessagingTimeout(window, Duration::zero()), AXError::success);
    EXPECT_EQ(ax.effectiveMessagingTimeout(window), seconds(0.1));
    ax.setMessagingTimeout(ax.systemWideElement(), Duration::zero());
    EXPECT_EQ(ax.effectiveMessagingTimeout(window), AccessibilityFake::defaultMessagingTimeout);

    EXPECT_EQ(ax.setMessagingTimeout(window, -seconds(1)), AXError::illegalArgument);
    EXPECT_EQ(ax.effectiveMessagingTimeout(window), AccessibilityFake::defaultMessagingTimeout);
}

TEST_F(AccessibilityFakeTimeouts, TheHitTestObeysTheTimeoutOfTheElementItIsMadeThrough)
{
    ax.setFrame(window, { { 0, 0 }, { 400, 300 } });
    const auto systemWide = ax.systemWideElement();
    ax.setMessagingTimeout(systemWide, seconds(0.1));
    ax.setMessagingTimeout(app, seconds(1)); // not the element asked

    ax.setAnswerDelay(mail, seconds(0.2));
    EXPECT_EQ(ax.elementAtPosition(systemWide, { 10, 10 }).error(), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), seconds(0.1));

    ax.setAnswerDelay(mail, seconds(0.05));
    EXPECT_EQ(ax.elementAtPosition(systemWide, { 10, 10 }).value(), window);
    EXPECT_EQ(elapsed(), seconds(0.15));
}

TEST_F(AccessibilityFakeTimeouts, AScriptedCannotCompleteCostsTheTimeoutOtherErrorsTheDelay)
{
    ax.setAnswerDelay(mail, seconds(0.01));
    ax.setMessagingTimeout(window, seconds(0.25));
    ax.setAttributeError(window, "AXTitle", AXError::cannotComplete);
    ax.setAttributeError(window, "AXRole", AXError::noValue);

    EXPECT_EQ(ax.copyAttributeValue(window, "AXTitle").error(), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), seconds(0.25));
    EXPECT_EQ(ax.copyAttributeValue(window, "AXRole").error(), AXError::noValue);
    EXPECT_EQ(elapsed(), seconds(0.26));

    ax.setAttributeError(window, "AXTitle", std::nullopt);
    EXPECT_EQ(ax.copyAttributeValue(window, "AXTitle").value(), AXValue::text("Inbox"));
}

TEST_F(AccessibilityFakeTimeouts, TheSystemWideElementAnswersAtOnce)
{
    const auto systemWide = ax.systemWideElement();
    ax.setAnswerDelay(mail, seconds(3));
    ax.setAttribute(systemWide, "AXFocusedApplication", AXValue::element(app));

    EXPECT_EQ(ax.copyAttributeValue(systemWide, "AXFocusedApplication").value(), AXValue::element(app));
    EXPECT_EQ(elapsed(), Duration::zero());
}

TEST_F(AccessibilityFakeTimeouts, ObserverCreationAndRegistrationTimeOutLikeReads)
{
    ax.setMessagingTimeout(app, seconds(0.25));
    ax.setObserverCreationError(mail, AXError::cannotComplete);
    EXPECT_EQ(ax.createObserver(mail, [](auto&&...) {}).error(), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), seconds(0.25));

    ax.setObserverCreationError(mail, std::nullopt);
    auto observer = ax.createObserver(mail, [](auto&&...) {}).value();
    ax.setAnswerDelay(mail, seconds(0.3));
    EXPECT_EQ(observer->addNotification(app, "AXWindowCreated", 1), AXError::cannotComplete);
    EXPECT_EQ(elapsed(), seconds(0.5));
    EXPECT_FALSE(ax.isRegistered(app, "AXWindowCreated"));
}

// --- Notifications

using AccessibilityFakeNotifications = AccessibilityFakeTest;

TEST_F(AccessibilityFakeNotifications, ReachTheRegisteredObserverWithItsContextOnTheExecutor)
{
    std::vector<Heard> heard;
    auto observer = observe(mail, heard);
    ASSERT_EQ(observer->addNotification(app, "AXWindowCreated", 7), AXError::success);

    ax.post(window, "AXWindowCreated");
    EXPECT_TRUE(heard.empty()); // only through the main executor
    executor.runPending();

    EXPECT_EQ(heard, (std::vector<Heard> { { window, "AXWindowCreated", 7 } }));
}

TEST_F(AccessibilityFakeNotifications, ReachOnlyObserversRegisteredForThatProcessAndName)
{
    const auto notesApp = ax.addApplication(notes);
    const auto notesWindow = ax.addElement(notesApp);
    std::vector<Heard> mailCreated, mailMoved, notesCreated;
    auto a = observe(mail, mailCreated);
    auto b = observe(mail, mailMoved);
    auto c = observe(notes, notesCreated);
    a->addNotification(app, "AXWindowCreated", 1);
    b->addNotification(app, "AXWindowMoved", 2);
    c->addNotification(notesApp, "AXWindowCreated", 3);

    ax.post(window, "AXWindowCreated");
    ax.post(notesWindow, "AXWindowMoved");
    executor.runPending();

    EXPECT_EQ(mailCreated, (std::vector<Heard> { { window, "AXWindowCreated", 1 } }));
    EXPECT_TRUE(mailMoved.empty());
    EXPECT_TRUE(notesCreated.empty());
}

TEST_F(AccessibilityFakeNotifications, ARegistrationOnAnElementCoversThatElementAlone)
{
    const auto sheet = ax.addElement(window);
    std::vector<Heard> heard;
    auto observer = observe(mail, heard);
    observer->addNotification(window, "AXUIElementDestroyed", 11);

    ax.post(sheet, "AXUIElementDestroyed");
    ax.post(window, "AXUIElementDestroyed");
    executor.runPending();

    EXPECT_EQ(heard, (std::vector<Heard> { { window, "AXUIElementDestroyed", 11 } }));
}

TEST_F(AccessibilityFakeNotifications, StopAfterRemovalEvenWhenAlreadyPosted)
{
    std::vector<Heard> heard;
    auto observer = observe(mail, heard);
    observer->addNotification(app, "AXWindowCreated", 1);

    ax.post(window, "AXWindowCreated");
    EXPECT_EQ(observer->removeNotification(app, "AXWindowCreated"), AXError::success);
    ax.post(window, "AXWindowCreated");
    executor.runPending();

    EXPECT_TRUE(heard.empty());
    EXPECT_FALSE(ax.isRegistered(app, "AXWindowCreated"));
    EXPECT_EQ(observer->removeNotification(app, "AXWindowCreated"), AXError::notificationNotRegistered);
}

TEST_F(AccessibilityFakeNotifications, ArriveOnlyWhileTheObserverIsStarted)
{
    std::vector<Heard> heard;
    auto observer = observe(mail, heard);
    observer->addNotification(app, "AXFocusedWindowChanged", 1);

    observer->stop();
    ax.post(window, "AXFocusedWindowChanged");
    executor.runPending();
    EXPECT_TRUE(heard.empty());

    observer->start();
    observer->start();
    ax.post(window, "AXFocusedWindowChanged");
    executor.runPending();
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(AccessibilityFakeNotifications, ADestroyedObserverHearsNothingAndIsForgotten)
{
    std::vector<Heard> heard;
    auto observer = observe(mail, heard);
    observer->addNotification(app, "AXWindowCreated", 1);

    ax.post(window, "AXWindowCreated");
    observer.reset();
    executor.runPending();

    EXPECT_TRUE(heard.empty());
    EXPECT_TRUE(ax.observers(mail).empty());
    EXPECT_FALSE(ax.isRegistered(app, "AXWindowCreated"));
}

TEST_F(AccessibilityFakeNotifications, ACallbackMayDestroyItsOwnObserver)
{
    std::unique_ptr<AXObserver> observer;
    int calls = 0;
    observer = ax.createObserver(mail, [&](const AXElement&, const std::string&, AXContext) {
                     observer.reset();
                     ++calls; // the callback's own captures must still be alive here
                 }).value();
    observer->start();
    observer->addNotification(app, "AXUIElementDestroyed", 1);
    observer->addNotification(window, "AXUIElementDestroyed", 2);

    ax.post(window, "AXUIElementDestroyed"); // matches both registrations
    executor.runPending();

    EXPECT_EQ(calls, 1);
}

TEST_F(AccessibilityFakeNotifications, AnElementsLastNotificationArrivesAfterItIsRemoved)
{
    std::vector<Heard> heard;
    auto observer = observe(mail, heard);
    observer->addNotification(window, "AXUIElementDestroyed", 5);

    ax.post(window, "AXUIElementDestroyed");
    ax.removeElement(window);
    executor.runPending();

    EXPECT_EQ(heard, (std::vector<Heard> { { window, "AXUIElementDestroyed", 5 } }));
    EXPECT_EQ(observer->removeNotification(window, "AXUIElementDestroyed"), AXError::invalidUIElement);
    EXPECT_FALSE(ax.isRegistered(window, "AXUIElementDestroyed"));
}

TEST_F(AccessibilityFakeNotifications, BookkeepingShowsObserversRegistrationsAndStartedState)
{
    auto first = ax.createObserver(mail, [](auto&&...) {}).value();
    auto second = ax.createObserver(mail, [](auto&&...) {}).value();
    first->start();
    EXPECT_EQ(first->addNotification(app, "AXMenuOpened", 1), AXError::success);
    EXPECT_EQ(first->addNotification(window, "AXUIElementDestroyed", 1), AXError::success);
    EXPECT_EQ(first->addNotification(app, "AXMenuOpened", 9), AXError::notificationAlreadyRegistered);

    const auto states = ax.observers(mail);
    ASSERT_EQ(states.size(), 2u);
    EXPECT_TRUE(states[0].started);
    EXPECT_FALSE(states[1].started);
    EXPECT_EQ(states[0].registrations, (std::vector<AccessibilityFake::Registration> {
                                           { app, "AXMenuOpened", 1 }, { window, "AXUIElementDestroyed", 1 } }));
    EXPECT_TRUE(states[1].registrations.empty());
    EXPECT_TRUE(ax.observers(notes).empty());
    EXPECT_TRUE(ax.isRegistered(window, "AXUIElementDestroyed"));
    EXPECT_FALSE(ax.isRegistered(app, "AXUIElementDestroyed"));
}

TEST_F(AccessibilityFakeNotifications, ScriptedFailuresHitOnlyTheirProcessOrName)
{
    ax.addApplication(notes);
    ax.setObserverCreationError(notes, AXError::failure);
    EXPECT_EQ(ax.createObserver(notes, [](auto&&...) {}).error(), AXError::failure);
    EXPECT_EQ(elapsed(), Duration::zero());
    auto observer = ax.createObserver(mail, [](auto&&...) {}).value();

    ax.setAddNotificationError(mail, "AXMenuOpened", AXError::notificationUnsupported);
    EXPECT_EQ(observer->addNotification(app, "AXMenuOpened", 1), AXError::notificationUnsupported);
    EXPECT_EQ(observer->addNotification(app, "AXMenuClosed", 1), AXError::success);

    ax.setAddNotificationError(mail, AXError::failure);
    EXPECT_EQ(observer->addNotification(app, "AXWindowMoved", 1), AXError::failure);
    ax.setAddNotificationError(mail, std::nullopt);
    EXPECT_EQ(observer->addNotification(app, "AXWindowMoved", 1), AXError::success);
    EXPECT_EQ(ax.observers(mail)[0].registrations.size(), 2u);
}

TEST_F(AccessibilityFakeNotifications, RegistrationNeedsAnElementOfTheObservedProcess)
{
    const auto notesApp = ax.addApplication(notes);
    auto observer = ax.createObserver(mail, [](auto&&...) {}).value();

    EXPECT_EQ(observer->addNotification(notesApp, "AXWindowCreated", 1), AXError::illegalArgument);
    EXPECT_EQ(observer->addNotification(AXElement(mail, "gone"), "AXWindowCreated", 1), AXError::invalidUIElement);
    EXPECT_TRUE(ax.observers(mail)[0].registrations.empty());
}

TEST_F(AccessibilityFakeNotifications, AnObserverOutlivingTheFakeFailsQuietly)
{
    std::unique_ptr<AXObserver> survivor;
    {
        AccessibilityFake shortLived(clock, executor);
        const auto root = shortLived.addApplication(mail);
        survivor = shortLived.createObserver(mail, [](auto&&...) {}).value();
        survivor->addNotification(root, "AXWindowCreated", 1);
    }
    EXPECT_EQ(survivor->addNotification(app, "AXWindowMoved", 1), AXError::invalidUIElementObserver);
    survivor->start();
    survivor.reset();
}

// --- Trust

TEST_F(AccessibilityFakeTest, WithoutTrustEveryQuestionIsRefusedAndPromptsAreCounted)
{
    auto observer = ax.createObserver(mail, [](auto&&...) {}).value();
    ax.setFrame(window, { { 0, 0 }, { 10, 10 } });
    ax.setTrusted(false);

    EXPECT_FALSE(ax.isProcessTrusted());
    EXPECT_EQ(observer->addNotification(app, "AXWindowCreated", 1), AXError::apiDisabled);
    EXPECT_EQ(ax.copyAttributeValue(app, "AXTitle").error(), AXError::apiDisabled);
    EXPECT_EQ(ax.copyAttributeNames(app).error(), AXError::apiDisabled);
    EXPECT_EQ(ax.elementAtPosition(ax.systemWideElement(), { 1, 1 }).error(), AXError::apiDisabled);
    EXPECT_FALSE(ax.requestTrust());
    EXPECT_FALSE(ax.requestTrust());
    EXPECT_EQ(ax.promptCount(), 2);

    ax.setTrusted(true);
    EXPECT_TRUE(ax.requestTrust());
    EXPECT_EQ(ax.promptCount(), 3);
    EXPECT_EQ(observer->addNotification(app, "AXWindowCreated", 1), AXError::success);
}

// --- Hit testing

class AccessibilityFakeHitTest : public AccessibilityFakeTest {
protected:
    AccessibilityFakeHitTest()
    {
        ax.setFrame(window, { { 0, 0 }, { 400, 300 } });
        group = ax.addElement(window);
        ax.setFrame(group, { { 10, 10 }, { 200, 100 } });
        button = ax.addElement(group, { { "AXRole", AXValue::text("AXButton") } });
        ax.setFrame(button, { { 20, 20 }, { 50, 20 } });
    }

    tl::expected<AXElement, AXError> at(double x, double y) { return ax.elementAtPosition(ax.systemWideElement(), { x, y }); }

    AXElement group;
    AXElement button;
};

TEST_F(AccessibilityFakeHitTest, PicksTheDeepestElementWhoseFrameHoldsThePoint)
{
    EXPECT_EQ(at(30, 25).value(), button);
    EXPECT_EQ(at(15, 15).value(), group);
    EXPECT_EQ(at(300, 200).value(), window);
    EXPECT_EQ(at(500, 500).error(), AXError::noValue);
}

TEST_F(AccessibilityFakeHitTest, LaterSiblingsLieOnTop)
{
    const auto overlay = ax.addElement(group);
    ax.setFrame(overlay, { { 60, 20 }, { 50, 20 } });

    EXPECT_EQ(at(65, 25).value(), overlay);
    EXPECT_EQ(at(25, 25).value(), button);
}

TEST_F(AccessibilityFakeHitTest, AFrameClipsItsChildren)
{
    const auto spill = ax.addElement(group);
    ax.setFrame(spill, { { 150, 90 }, { 100, 100 } }); // reaches below the group

    EXPECT_EQ(at(160, 95).value(), spill);
    EXPECT_EQ(at(160, 150).value(), window);
}

TEST_F(AccessibilityFakeHitTest, AnElementWithoutAFrameIsSeeThrough)
{
    const auto container = ax.addElement(window); // on top, but frameless
    const auto label = ax.addElement(container);
    ax.setFrame(label, { { 300, 200 }, { 40, 20 } });
    const auto halfFramed = ax.addElement(window, { { "AXPosition", AXValue::point({ 0, 0 }) } });

    EXPECT_EQ(at(310, 205).value(), label);
    EXPECT_EQ(at(30, 25).value(), button);
    EXPECT_EQ(at(5, 5).value(), window); // not the half-framed element on top
    EXPECT_NE(halfFramed, window);
}

TEST_F(AccessibilityFakeHitTest, TheNewestApplicationIsInFrontUnlessOneIsNamed)
{
    const auto notesApp = ax.addApplication(notes);
    const auto notesWindow = ax.addElement(notesApp);
    ax.setFrame(notesWindow, { { 0, 0 }, { 100, 100 } });

    EXPECT_EQ(at(30, 25).value(), notesWindow);
    EXPECT_EQ(ax.elementAtPosition(app, { 30, 25 }).value(), button);
    EXPECT_EQ(ax.elementAtPosition(window, { 30, 25 }).error(), AXError::illegalArgument);
    EXPECT_EQ(ax.processIdentifier(at(30, 25).value()).value(), notes);
}

// --- Attribute reads and the tree

using AccessibilityFakeReads = AccessibilityFakeTest;

TEST_F(AccessibilityFakeReads, ABatchKeepsTheOrderAndEachAttributesOwnError)
{
    ax.setAnswerDelay(mail, seconds(0.1));
    ax.setFrame(window, { { 1, 2 }, { 3, 4 } });
    ax.setAttributeError(window, "AXTitle", AXError::noValue);

    auto values = ax.copyMultipleAttributeValues(window, { "AXRole", "AXSubrole", "AXTitle", "AXSize", "AXParent" });

    ASSERT_TRUE(values.has_value());
    ASSERT_EQ(values->size(), 5u);
    EXPECT_EQ((*values)[0].value(), AXValue::text("AXWindow"));
    EXPECT_EQ((*values)[1].error(), AXError::attributeUnsupported);
    EXPECT_EQ((*values)[2].error(), AXError::noValue);
    EXPECT_EQ((*values)[3].value(), AXValue::size({ 3, 4 }));
    EXPECT_EQ((*values)[4].value(), AXValue::element(app));
    EXPECT_EQ(elapsed(), seconds(0.1)); // one question, one delay
}

TEST_F(AccessibilityFakeReads, AWholeCallCanFailWhileSingleReadsStillWork)
{
    ax.setCallError(window, AccessibilityFake::Call::multipleAttributeValues, AXError::failure);
    ax.setCallError(window, AccessibilityFake::Call::attributeNames, AXError::noValue);

    EXPECT_EQ(ax.copyMultipleAttributeValues(window, { "AXRole" }).error(), AXError::failure);
    EXPECT_EQ(ax.copyAttributeNames(window).error(), AXError::noValue);
    EXPECT_EQ(ax.copyAttributeValue(window, "AXRole").value(), AXValue::text("AXWindow"));
    EXPECT_TRUE(ax.copyActionNames(window).has_value());

    ax.setCallError(window, AccessibilityFake::Call::multipleAttributeValues, std::nullopt);
    EXPECT_EQ(ax.copyMultipleAttributeValues(window, {}).value().size(), 0u);
}

TEST_F(AccessibilityFakeReads, TheTreeShowsAsParentAndChildrenAttributes)
{
    const auto second = ax.addElement(app);

    EXPECT_EQ(ax.copyAttributeValue(window, "AXParent").value(), AXValue::element(app));
    EXPECT_EQ(ax.copyAttributeValue(app, "AXChildren").value(),
        AXValue::list({ AXValue::element(window), AXValue::element(second) }));
    EXPECT_EQ(ax.copyAttributeValue(app, "AXParent").error(), AXError::attributeUnsupported);
    EXPECT_EQ(ax.copyAttributeNames(window).value(), (std::vector<std::string> { "AXChildren", "AXParent", "AXRole", "AXTitle" }));
}

TEST_F(AccessibilityFakeReads, ATestMayMakeAParentDisownItsChild)
{
    ax.setFrame(window, { { 0, 0 }, { 100, 100 } });
    ax.setAttribute(app, "AXChildren", AXValue::list({}));

    EXPECT_EQ(ax.copyAttributeValue(app, "AXChildren").value(), AXValue::list({}));
    EXPECT_EQ(ax.copyAttributeValue(window, "AXParent").value(), AXValue::element(app));
    EXPECT_EQ(ax.elementAtPosition(ax.systemWideElement(), { 5, 5 }).value(), window);
}

TEST_F(AccessibilityFakeReads, ARemovedElementAndItsSubtreeBecomeInvalid)
{
    const auto button = ax.addElement(window);
    const auto sibling = ax.addElement(app);
    ax.removeElement(window);

    EXPECT_EQ(ax.copyAttributeValue(window, "AXRole").error(), AXError::invalidUIElement);
    EXPECT_EQ(ax.copyAttributeNames(button).error(), AXError::invalidUIElement);
    EXPECT_EQ(ax.processIdentifier(button).error(), AXError::invalidUIElement);
    EXPECT_EQ(ax.copyAttributeValue(app, "AXChildren").value(), AXValue::list({ AXValue::element(sibling) }));
    EXPECT_EQ(ax.processIdentifier(sibling).value(), mail);
}

TEST_F(AccessibilityFakeReads, ActionAndParameterizedNamesAreAsScripted)
{
    ax.setActionNames(window, { "AXRaise", "AXPress" });
    ax.setParameterizedAttributeNames(window, { "AXReplaceRangeWithText" });

    EXPECT_EQ(ax.copyActionNames(window).value(), (std::vector<std::string> { "AXRaise", "AXPress" }));
    EXPECT_EQ(ax.copyParameterizedAttributeNames(window).value(), (std::vector<std::string> { "AXReplaceRangeWithText" }));
    EXPECT_TRUE(ax.copyActionNames(app).value().empty());
}

TEST_F(AccessibilityFakeReads, ReferencesAreStableValues)
{
    EXPECT_EQ(ax.applicationElement(mail), app);
    EXPECT_EQ(ax.systemWideElement(), ax.systemWideElement());
    EXPECT_NE(ax.applicationElement(notes), app);
    EXPECT_EQ(ax.copyAttributeValue(ax.applicationElement(notes), "AXTitle").error(), AXError::invalidUIElement);
}

} // namespace
} // namespace tintra
