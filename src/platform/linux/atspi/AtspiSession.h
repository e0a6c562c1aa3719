#pragma once

#include "accessibility/AXElement.h"
#include "accessibility/AXError.h"
#include "accessibility/AXValue.h"
#include "platform/linux/atspi/AtspiEventHub.h"
#include "platform/linux/atspi/AtspiToolkit.h"
#include "platform/linux/atspi/GObjectRef.h"
#include "platform/linux/x11/WindowFacts.h"
#include "platform/linux/x11/XcbConnection.h"
#include "support/Clock.h"
#include "support/MainExecutor.h"

#include <atspi/atspi.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// The time one port call may spend asking applications, so that a stopped
// application holds the caller no longer than the asked element's time-out.
// libatspi waits for a reply in steps of its time-out and looks at the clock
// only after each step; a message arriving just before the end starts one more
// whole step, so a request may take up to twice its time-out. Each request is
// therefore given half of what is left, and its start-up grace for new
// applications is switched off. A request that waited out its time means the
// application is not answering: the budget is then spent.
class AtspiBudget {
public:
    AtspiBudget(const MainExecutor& executor, Duration timeout);

    // Before each request: false when nothing is left to spend.
    bool arm() const;
    bool isSpent() const;
    // The error of a request that gave nothing: a time-out once the budget is
    // spent, `otherwise` before.
    AXError failure(AXError otherwise = AXError::failure) const { return isSpent() ? AXError::cannotComplete : otherwise; }

private:
    const MainExecutor& executor_;
    MonotonicTime deadline_;
    mutable MonotonicTime requestEnd_; // when the last request's own wait runs out
};

// The accessible's children, as many as the budget lets be asked.
std::vector<GObjectRef<AtspiAccessible>> childrenOf(AtspiAccessible* accessible, const AtspiBudget& budget);

// What every AT-SPI adapter object shares: the connection, the elements made
// from accessibles, what is known about each application (process id, toolkit)
// and the messaging time-outs. Main thread only.
class AtspiSession {
public:
    static constexpr Duration defaultTimeout = std::chrono::seconds(6);
    static const std::string systemWideIdentity;

    explicit AtspiSession(MainExecutor& executor);
    ~AtspiSession();
    AtspiSession(const AtspiSession&) = delete;
    AtspiSession& operator=(const AtspiSession&) = delete;

    bool isConnected() const { return connected_; }
    MainExecutor& executor() const { return executor_; }
    // Only while connected.
    AtspiEventHub& events() { return *events_; }
    // The window server's view, for what AT-SPI does not say (moves, and
    // minimising in most toolkits); none without an X display.
    WindowFacts* windowFacts() { return windowFacts_.get(); }

    // The process whose window was activated last, as the observers saw it.
    std::int32_t activeProcess = 0;

    // An element of this accessible, or of the part of it whose name follows its identity.
    AXElement element(AtspiAccessible* accessible, const std::string& part = {});
    // The accessible an element of ours holds; nullptr for the system-wide
    // element and for elements of applications that have gone.
    static AtspiAccessible* accessible(const AXElement& element);
    static bool isGone(AtspiAccessible* accessible);

    // The applications on the desktop, and the one with this process id, found through the
    // registry (which answers for stopped applications too) and then known until it goes.
    std::vector<GObjectRef<AtspiAccessible>> applications();
    GObjectRef<AtspiAccessible> application(std::int32_t processIdentifier);
    std::int32_t processIdentifier(AtspiAccessible* accessible);
    AtspiToolkit toolkit(AtspiAccessible* accessible, const AtspiBudget& budget);

    void setTimeout(const AXElement& element, Duration timeout);
    // The element's own, its application's, the system-wide element's, or 6 s.
    Duration timeout(const AXElement& element) const;
    AtspiBudget budget(const AXElement& element) const { return AtspiBudget(executor_, timeout(element)); }

    // What the last hit test learnt of the element it hit: the top level it went through, the
    // element's role and its frame. A click reads these of what it hit, which then ask nothing
    // more; the frame only just after, as an element may move.
    void rememberHit(AtspiAccessible* hit, AtspiAccessible* window, AtspiRole role, std::optional<AXRect> frame);
    std::optional<AtspiRole> roleOfLastHit(AtspiAccessible* accessible) const;
    std::optional<AXRect> frameOfLastHit(AtspiAccessible* accessible) const;
    // The top level the accessible lies in (itself when it is one): the ancestor whose parent
    // is the application; none for the application itself and when it cannot be told in time.
    GObjectRef<AtspiAccessible> topLevel(AtspiAccessible* accessible, const AtspiBudget& budget) const;

    static std::string identity(AtspiAccessible* accessible);
    // GTK 3's "window-type" attribute of a top level ("normal", "popup-menu" …).
    static std::string windowType(AtspiAccessible* accessible);
    static std::string applicationIdentity(const std::string& busName);

private:
    MainExecutor& executor_;
    bool connected_ = false;
    std::unique_ptr<AtspiEventHub> events_;
    std::unique_ptr<XcbConnection> x11_;
    std::unique_ptr<WindowFacts> windowFacts_;
    std::map<std::string, std::int32_t> processIdentifiers_; // by bus name
    std::map<std::int32_t, GObjectRef<AtspiAccessible>> applicationsByProcess_; // found, until they go
    std::map<std::string, AtspiToolkit> toolkits_;           // by bus name
    std::map<std::string, Duration> timeouts_;               // by identity
    std::string lastHit_;
    GObjectRef<AtspiAccessible> lastHitWindow_;
    AtspiRole lastHitRole_ = ATSPI_ROLE_INVALID;
    std::optional<AXRect> lastHitFrame_;
    MonotonicTime lastHitAt_;
};

} // namespace tintra
