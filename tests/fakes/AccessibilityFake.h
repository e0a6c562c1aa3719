#pragma once

#include "ManualClock.h"
#include "accessibility/Accessibility.h"
#include "support/MainExecutor.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tintra {

// An in-memory accessibility service that tests script: a tree of elements
// per process, answer delays measured on a manual clock, scripted errors, and
// notifications the test posts.
//
// Time: every call that asks an application costs that application's answer
// delay on the clock. When the delay exceeds the asked element's messaging
// time-out (its own, else the system-wide element's, else 6 s) the call
// costs the time-out instead and fails with cannotComplete; a scripted
// cannotComplete costs the time-out as well. A delay equal to the time-out
// still answers. The system-wide element (process 0) answers at once.
//
// Tree: addElement sets "AXParent" on the child and appends it to the parent's
// "AXChildren"; both are plain attributes afterwards, so a test may replace
// or remove them without changing the structure that hit tests walk.
//
// Notifications: post() queues one delivery on the executor for every
// matching registration (on the element itself or on its application
// element). A delivery runs only if, by then, its observer still exists, is
// started and still holds the registration.
//
// Untrusted, every call that asks an application fails with apiDisabled;
// observers can still be created.
class AccessibilityFake final : public Accessibility {
public:
    using Attributes = std::map<std::string, AXValue>;

    static constexpr Duration defaultMessagingTimeout = std::chrono::seconds(6);

    // Calls that can be made to fail as a whole for one element.
    enum class Call { attributeNames, actionNames, parameterizedAttributeNames, multipleAttributeValues };

    struct Registration {
        AXElement element;
        std::string notification;
        AXContext context = 0;
        friend bool operator==(const Registration&, const Registration&) = default;
    };

    struct ObserverState {
        std::int32_t processIdentifier = 0;
        bool started = false;
        std::vector<Registration> registrations; // in registration order
    };

    AccessibilityFake(ManualClock& clock, MainExecutor& executor);
    ~AccessibilityFake() override;
    AccessibilityFake(const AccessibilityFake&) = delete;
    AccessibilityFake& operator=(const AccessibilityFake&) = delete;

    // --- Building the tree

    // The application's root element (the same as applicationElement(pid)).
    AXElement addApplication(std::int32_t processIdentifier, Attributes attributes = {});
    // A new element under `parent`, in the parent's process; later children
    // lie on top of earlier ones for hit testing.
    AXElement addElement(const AXElement& parent, Attributes attributes = {});
    // Frames come from "AXPosition" and "AXSize"; this sets both.
    void setFrame(const AXElement& element, AXRect frame);
    void setAttribute(const AXElement& element, const std::string& name, AXValue value);
    void removeAttribute(const AXElement& element, const std::string& name);
    void setActionNames(const AXElement& element, std::vector<std::string> names);
    void setParameterizedAttributeNames(const AXElement& element, std::vector<std::string> names);
    // The element and its subtree vanish: later calls on them fail with
    // invalidUIElement, and the parent no longer lists it.
    void removeElement(const AXElement& element);

    // --- Scripting answers

    void setAnswerDelay(std::int32_t processIdentifier, Duration delay);
    // Reading this attribute fails with `error` (alone and inside batches);
    // nullopt clears it.
    void setAttributeError(const AXElement& element, const std::string& name, std::optional<AXError> error);
    void setCallError(const AXElement& element, Call call, std::optional<AXError> error);
    void setObserverCreationError(std::int32_t processIdentifier, std::optional<AXError> error);
    // For every notification name, or for one name when given.
    void setAddNotificationError(std::int32_t processIdentifier, std::optional<AXError> error);
    void setAddNotificationError(std::int32_t processIdentifier, const std::string& notification, std::optional<AXError> error);
    void setTrusted(bool trusted);

    // --- Notifications and inspection

    void post(const AXElement& element, const std::string& notification);

    int promptCount() const;
    // Live observers of the process, in creation order.
    std::vector<ObserverState> observers(std::int32_t processIdentifier) const;
    bool isRegistered(const AXElement& element, const std::string& notification) const;
    // The time-out calls on this element obey, after falling back.
    Duration effectiveMessagingTimeout(const AXElement& element) const;

    // --- Accessibility

    bool isProcessTrusted() override;
    bool requestTrust() override;
    AXElement applicationElement(std::int32_t processIdentifier) override;
    AXElement systemWideElement() override;
    AXError setMessagingTimeout(const AXElement& element, Duration timeout) override;
    AXAttributeResult copyAttributeValue(const AXElement& element, const std::string& attribute) override;
    tl::expected<std::vector<AXAttributeResult>, AXError> copyMultipleAttributeValues(
        const AXElement& element, const std::vector<std::string>& attributes) override;
    tl::expected<std::vector<std::string>, AXError> copyAttributeNames(const AXElement& element) override;
    tl::expected<std::vector<std::string>, AXError> copyActionNames(const AXElement& element) override;
    tl::expected<std::vector<std::string>, AXError> copyParameterizedAttributeNames(const AXElement& element) override;
    tl::expected<AXElement, AXError> elementAtPosition(const AXElement& through, AXPoint point) override;
    tl::expected<std::int32_t, AXError> processIdentifier(const AXElement& element) override;
    tl::expected<std::unique_ptr<AXObserver>, AXError> createObserver(
        std::int32_t processIdentifier, AXObserverCallback callback) override;

private:
    struct Node;
    // Shared with the observers it hands out, which may outlive the fake.
    struct State;
    class Observer;

    Node* find(const AXElement& element);
    const Node* find(const AXElement& element) const;
    Node& require(const AXElement& element);
    AXElement makeElement(std::int32_t processIdentifier, Node* parent, Attributes attributes);
    // Charges the clock for one question to `asked`'s application; returns
    // the error the caller sees (success when the answer came in time).
    AXError ask(const AXElement& asked, std::optional<AXError> scripted = std::nullopt);
    AXError askCall(const AXElement& element, Call call);
    const Node* hitTest(const Node& node, AXPoint point) const;

    ManualClock& clock_;
    std::shared_ptr<State> state_;
    std::unordered_map<AXElement, std::unique_ptr<Node>> nodes_;
    std::vector<std::int32_t> applicationsFrontToBack_;
    std::unordered_map<AXElement, Duration> timeouts_;
    std::unordered_map<std::int32_t, Duration> delays_;
    std::unordered_map<std::int32_t, AXError> observerCreationErrors_;
    std::uint64_t nextElement_ = 1;
    bool trusted_ = true;
    int prompts_ = 0;
};

} // namespace tintra
