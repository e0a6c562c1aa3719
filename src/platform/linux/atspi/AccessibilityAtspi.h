#pragma once

#include "accessibility/Accessibility.h"
#include "platform/linux/Listeners.h"
#include "support/MainExecutor.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _AtspiAccessible AtspiAccessible;

namespace tintra {

class AtspiSession;

// The accessibility service over AT-SPI: every application on the
// accessibility bus, with GTK 3 and 4, Qt, Gecko and Chromium each read
// through the rows of its own toolkit.
//
// Elements hold a reference to their accessible; two look-ups of one object
// are equal (bus name and object path), and an element of an application
// that has gone answers invalidUIElement without asking. An element without a
// time-out of its own uses its application's, then the system-wide
// element's, then 6 s, and libatspi's start-up grace never applies. The hit
// test asks the application whose window the window server stacks on top at
// the point. Without
// an accessibility bus every call fails with apiDisabled, said once on
// standard error. Main thread only.
class AccessibilityAtspi final : public Accessibility {
public:
    explicit AccessibilityAtspi(MainExecutor& executor);
    ~AccessibilityAtspi() override;
    AccessibilityAtspi(const AccessibilityAtspi&) = delete;
    AccessibilityAtspi& operator=(const AccessibilityAtspi&) = delete;

    // Trusted when the accessibility bus answers and toolkit accessibility is
    // switched on (org.a11y.Status IsEnabled); asking for trust switches it
    // on, and GNOME's toolkit-accessibility setting where that exists.
    // Applications that read it only at start (Qt, Chromium) are seen once
    // restarted.
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

    // For the workspace: the process of each application on the accessibility bus, an
    // application's own name (asked within 0.25 s), and news whenever one comes or goes.
    std::vector<std::int32_t> applicationProcesses();
    std::optional<std::string> applicationName(std::int32_t processIdentifier);
    Subscription onApplicationsChanged(std::function<void()> listener);

private:
    // The accessible behind an element, the application found anew for an
    // application element made before its process was on the bus.
    tl::expected<AtspiAccessible*, AXError> resolve(const AXElement& element);

    std::shared_ptr<AtspiSession> session_;
    Listeners<> applicationsChanged_;
    std::optional<std::uint64_t> desktopReceiver_; // while someone listens for applications
};

} // namespace tintra
