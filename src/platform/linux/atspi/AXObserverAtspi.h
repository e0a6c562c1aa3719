#pragma once

#include "accessibility/Accessibility.h"
#include "platform/linux/atspi/AtspiEventHub.h"
#include "platform/linux/atspi/AtspiRepeatFilter.h"
#include "platform/linux/atspi/AtspiToolkit.h"
#include "platform/linux/x11/WindowFacts.h"
#include "support/Observable.h"

#include <atspi/atspi.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tintra {

class AtspiSession;
struct AtspiNotification;

// Watches one process through AT-SPI events, made by AccessibilityAtspi.
// Each notification subscribes the event types it is made from while some
// registration needs it. Window moves, resizes, minimising and restoring come
// from the window server where there is one, for every toolkit alike, its
// windows joined to their accessibles by process id and title; so do
// Chromium's windows coming and going and its tooltips, of which AT-SPI says
// nothing. One user action gives one notification (repeats of one notification
// about one element, or about one application's menus, within 100 ms are
// dropped, and so are activations of the window that is already active or was
// deactivated just before, and GTK 4's focus on or Chromium's selection of the
// item of a menu it has just closed). An application that leaves the desktop ends every element
// registered for "AXUIElementDestroyed". Main thread only.
class AXObserverAtspi final : public AXObserver {
public:
    static constexpr Duration repeatWindow = std::chrono::milliseconds(100);
    static constexpr Duration restoreSettling = std::chrono::milliseconds(500);

    AXObserverAtspi(std::shared_ptr<AtspiSession> session, std::int32_t processIdentifier, AXObserverCallback callback);
    ~AXObserverAtspi() override;
    AXObserverAtspi(const AXObserverAtspi&) = delete;
    AXObserverAtspi& operator=(const AXObserverAtspi&) = delete;

    AXError addNotification(const AXElement& element, const std::string& notification, AXContext context) override;
    AXError removeNotification(const AXElement& element, const std::string& notification) override;
    void start() override { started_ = true; }
    void stop() override { started_ = false; }

private:
    struct Registration {
        AXElement element;
        std::string notification;
        AXContext context;
        bool coversProcess; // made on the application element
    };

    void receive(const AtspiEvent& event);
    void applicationLeft();
    void windowChanged(const WindowInfo& before, const WindowInfo& after);
    std::optional<AXElement> accessibleWindow(const WindowInfo& window);
    bool isRestoreStep(const WindowInfo& window);
    // Windows that came or went, told for the toolkits whose own events do not.
    void clientListChanged();
    // Chromium's tooltips say nothing over AT-SPI.
    void popUpChanged(const PopUpWindow& popUp, bool shown);
    bool isRegistered(const std::string& notification) const;
    // Chromium's new windows say nothing but that they are active, its tooltips nothing.
    bool windowsToldOnlyByWindowServer();
    // Notes the windows that joined the list, as having joined at `now`.
    void noteNewWindows(MonotonicTime now);
    bool isBeingPlaced(const WindowInfo& window) const;
    std::optional<AXElement> subjectOf(
        const AtspiNotification& notification, const AXElement& source, AtspiAccessible* parent, AtspiAccessible* child);
    // Keeps the menu or tooltip that was shown last, until it ends.
    void notePopUp(const std::string& notification, const AXElement& subject, bool isTooltip);
    bool admit(AtspiToolkit toolkit, const AtspiEvent& event, const AtspiNotification& notification, const AXElement& subject);
    // False once the observer is stopped or gone.
    bool deliver(const AXElement& subject, const std::string& notification);

    std::shared_ptr<AtspiSession> session_;
    std::int32_t processIdentifier_;
    AXObserverCallback callback_;
    AtspiEventHub::ReceiverID receiver_;
    bool started_ = false;
    std::vector<Registration> registrations_;
    AtspiRepeatFilter repeats_ { repeatWindow };
    std::string activeWindow_;
    std::optional<MonotonicTime> menuClosedAt_;
    struct PopUp {
        AXElement element;
        bool isMenu;
    };
    std::optional<PopUp> popUp_;
    std::pair<std::string, MonotonicTime> deactivated_; // the window deactivated last, and when
    std::string poppedFrom_; // the window a pop-up's own frame was activated from
    std::map<std::string, std::pair<int, int>> windowSizes_; // by identity
    std::set<std::string> newWindows_;
    std::map<xcb_window_t, AXElement> accessibleWindows_;
    // A window manager may slide a restored window back from where its icon was (openbox
    // does): the steps until it is back where it was hidden, or settled, are no move by the user.
    struct Restoring {
        Rect frame; // when it was hidden
        MonotonicTime shownAt;
    };
    std::map<xcb_window_t, Restoring> restoring_;
    // When each window of the process joined the window list: the window manager may still
    // place it for as long as a restore settles.
    std::map<xcb_window_t, MonotonicTime> appeared_;
    std::map<xcb_window_t, AXElement> tooltipWindows_;
    std::shared_ptr<int> alive_ = std::make_shared<int>();
    Subscription windowChanges_;
    Subscription clientListChanges_;
    Subscription popUps_;
};

} // namespace tintra
