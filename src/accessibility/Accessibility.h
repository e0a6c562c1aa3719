#pragma once

#include "accessibility/AXElement.h"
#include "accessibility/AXError.h"
#include "accessibility/AXValue.h"
#include "support/Clock.h"

#include <tl/expected.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tintra {

// What a caller hands over with a registration and gets back with every
// notification of it, to recognise its own registrations. A number, not a
// pointer, so a late notification can never lead to a freed object; 0 is none.
using AXContext = std::uint64_t;

// Receives the element the notification is about, the notification name and
// the context of the registration that matched.
using AXObserverCallback = std::function<void(const AXElement& element, const std::string& notification, AXContext context)>;

using AXAttributeResult = tl::expected<AXValue, AXError>;

// Watches one process. Notifications reach the callback only while the
// observer is started (its source is on the main loop). Destroying it ends
// every registration; no callback runs afterwards, not even for notifications
// already on their way.
class AXObserver {
public:
    virtual ~AXObserver() = default;

    // Registering on the application element covers every element of the
    // process; registering on another element covers that element alone.
    // Fails with notificationAlreadyRegistered for a repeated pair.
    virtual AXError addNotification(const AXElement& element, const std::string& notification, AXContext context) = 0;
    virtual AXError removeNotification(const AXElement& element, const std::string& notification) = 0;

    // Adds the observer's source to the main loop, or removes it. Repeating
    // either is harmless.
    virtual void start() = 0;
    virtual void stop() = 0;
};

// The accessibility service: the one view of other applications' interfaces.
//
// Main thread only; callbacks run on the main executor. Every call may fail,
// and callers treat a failure as "no value" unless they say otherwise.
// Calls that ask the application (attribute and name reads, add and remove
// notification) give up after the asked element's messaging time-out; the hit
// test after the time-out of the element it is made through.
// AXError::cannotComplete (-25204) means the application did not answer in
// time. An element without a time-out of its own uses the system-wide
// element's, or the platform default (6 s) when that has none either.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    // Whether this process may use the service; requestTrust also asks the
    // user to grant it and answers the same question.
    virtual bool isProcessTrusted() = 0;
    virtual bool requestTrust() = 0;

    // References only: creating them asks nobody and cannot fail.
    virtual AXElement applicationElement(std::int32_t processIdentifier) = 0;
    virtual AXElement systemWideElement() = 0;

    // Zero restores the default.
    virtual AXError setMessagingTimeout(const AXElement& element, Duration timeout) = 0;

    virtual AXAttributeResult copyAttributeValue(const AXElement& element, const std::string& attribute) = 0;
    // One request for all names. On success one result per name, in the
    // order asked, each either a value or that attribute's own error.
    virtual tl::expected<std::vector<AXAttributeResult>, AXError> copyMultipleAttributeValues(
        const AXElement& element, const std::vector<std::string>& attributes)
        = 0;
    virtual tl::expected<std::vector<std::string>, AXError> copyAttributeNames(const AXElement& element) = 0;
    virtual tl::expected<std::vector<std::string>, AXError> copyActionNames(const AXElement& element) = 0;
    virtual tl::expected<std::vector<std::string>, AXError> copyParameterizedAttributeNames(const AXElement& element) = 0;

    // The deepest element under a screen point, asked through the system-wide
    // element (or an application element, to ask that application only).
    virtual tl::expected<AXElement, AXError> elementAtPosition(const AXElement& through, AXPoint point) = 0;
    virtual tl::expected<std::int32_t, AXError> processIdentifier(const AXElement& element) = 0;

    // An observer for one process; it starts stopped and without registrations.
    virtual tl::expected<std::unique_ptr<AXObserver>, AXError> createObserver(
        std::int32_t processIdentifier, AXObserverCallback callback)
        = 0;
};

} // namespace tintra
