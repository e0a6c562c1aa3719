#include "platform/linux/atspi/AXObserverAtspi.h"

#include "platform/linux/atspi/AtspiEvents.h"
#include "platform/linux/atspi/AtspiSession.h"
#include "platform/linux/atspi/AtspiSurfaces.h"
#include "support/MainThread.h"

#include <algorithm>
#include <cmath>

namespace tintra {
namespace {

const std::string destroyedNotification = "AXUIElementDestroyed";
const std::string rootPath = "/org/a11y/atspi/accessible/root";
const std::string addedChild = "object:children-changed:add:system";

// What the window server tells for every toolkit, where there is one.
bool isWindowServerNotification(const std::string& notification)
{
    return notification == "AXWindowMoved" || notification == "AXWindowResized"
        || notification == "AXWindowMiniaturized" || notification == "AXWindowDeminiaturized";
}

double distance(const AXRect& extents, const Rect& frame)
{
    return std::abs(extents.origin.x - frame.x) + std::abs(extents.origin.y - frame.y)
        + std::abs(extents.size.width - frame.width) + std::abs(extents.size.height - frame.height);
}

bool isApplicationElement(const AXElement& element)
{
    return element.identity().ends_with(rootPath) || element.identity().starts_with("application:");
}

// Chromium shows its tooltip in a top level of its own, an untitled frame.
GObjectRef<AtspiAccessible> chromiumTooltip(AtspiAccessible* application, const AtspiBudget& budget)
{
    for (const auto& frame : childrenOf(application, budget)) {
        if (!budget.arm() || atspi_accessible_get_role(frame.get(), nullptr) != ATSPI_ROLE_FRAME)
            continue;
        for (auto& child : childrenOf(frame.get(), budget)) {
            if (budget.arm() && atspi_accessible_get_role(child.get(), nullptr) == ATSPI_ROLE_TOOL_TIP)
                return std::move(child);
        }
    }
    return {};
}

} // namespace

AXObserverAtspi::AXObserverAtspi(
    std::shared_ptr<AtspiSession> session, std::int32_t processIdentifier, AXObserverCallback callback)
    : session_(std::move(session))
    , processIdentifier_(processIdentifier)
    , callback_(std::move(callback))
    , receiver_(session_->events().addReceiver([this](const AtspiEvent& event) { receive(event); }))
{
    if (auto* windows = session_->windowFacts()) {
        windowChanges_ = windows->onWindowChanged(
            [this](const WindowInfo& before, const WindowInfo& after) { windowChanged(before, after); });
        clientListChanges_ = windows->onClientListChanged([this] { clientListChanged(); });
        popUps_ = windows->onPopUp([this](const PopUpWindow& popUp, bool shown) { popUpChanged(popUp, shown); });
        noteNewWindows(MonotonicTime {}); // long placed
    }
}

AXObserverAtspi::~AXObserverAtspi()
{
    session_->events().removeReceiver(receiver_);
    windowChanges_.cancel();
    clientListChanges_.cancel();
    popUps_.cancel();
    for (const auto& registration : registrations_) {
        if (session_->windowFacts() && isWindowServerNotification(registration.notification))
            continue;
        for (const auto& type : atspiEventTypes(registration.notification))
            session_->events().unsubscribe(type);
    }
}

AXError AXObserverAtspi::addNotification(const AXElement& element, const std::string& notification, AXContext context)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (element.isNull() || notification.empty())
        return AXError::illegalArgument;
    if (element.platformHandle() && !AtspiSession::accessible(element))
        return AXError::invalidUIElement;
    if (element.processIdentifier() != processIdentifier_)
        return AXError::illegalArgument;
    const bool fromWindowServer = session_->windowFacts() && isWindowServerNotification(notification);
    static const std::vector<std::string> none;
    const auto& types = fromWindowServer ? none : atspiEventTypes(notification);
    if (types.empty() && !fromWindowServer)
        return AXError::notificationUnsupported;
    const auto same = [&](const Registration& r) { return r.element == element && r.notification == notification; };
    if (std::any_of(registrations_.begin(), registrations_.end(), same))
        return AXError::notificationAlreadyRegistered;
    std::vector<std::string> subscribed;
    for (const auto& type : types) {
        if (!session_->events().subscribe(type)) {
            for (const auto& done : subscribed)
                session_->events().unsubscribe(done);
            return AXError::failure;
        }
        subscribed.push_back(type);
    }
    registrations_.push_back({ element, notification, context, isApplicationElement(element) });
    return AXError::success;
}

AXError AXObserverAtspi::removeNotification(const AXElement& element, const std::string& notification)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto found = std::find_if(registrations_.begin(), registrations_.end(),
        [&](const Registration& r) { return r.element == element && r.notification == notification; });
    if (found == registrations_.end())
        return AXError::notificationNotRegistered;
    if (!session_->windowFacts() || !isWindowServerNotification(notification)) {
        for (const auto& type : atspiEventTypes(notification))
            session_->events().unsubscribe(type);
    }
    registrations_.erase(found);
    return AXError::success;
}

void AXObserverAtspi::receive(const AtspiEvent& event)
{
    if (!started_ || !event.source || !event.type)
        return;
    AtspiAccessible* source = event.source;
    const std::string type = event.type;
    if (type.starts_with("object:children-changed:remove")) {
        if (atspi_accessible_get_role(source, nullptr) == ATSPI_ROLE_DESKTOP_FRAME)
            applicationLeft();
        return;
    }
    if (AtspiSession::isGone(source) || session_->processIdentifier(source) != processIdentifier_)
        return;
    // Names change all the time; only a tooltip's tells anything.
    if (type == "object:property-change:accessible-name" && atspi_accessible_get_role(source, nullptr) != ATSPI_ROLE_TOOL_TIP)
        return;

    const auto subjectSource = session_->element(source);
    if (type == "window:deactivate") {
        deactivated_ = { subjectSource.identity(), session_->executor().monotonicNow() };
        return;
    }
    const auto budget = session_->budget(subjectSource);
    if (!budget.arm())
        return;
    AtspiEventFacts facts;
    GObjectRef<AtspiAccessible> child;
    if (type == addedChild) {
        auto* named = G_VALUE_HOLDS(&event.any_data, ATSPI_TYPE_ACCESSIBLE)
            ? static_cast<AtspiAccessible*>(g_value_get_object(&event.any_data))
            : nullptr;
        // Firefox tells each change of a page so: only a tooltip's tells anything.
        if (!named || atspi_accessible_get_role(named, nullptr) != ATSPI_ROLE_TOOL_TIP)
            return;
        child = GObjectRef<AtspiAccessible>::borrow(named);
        facts.childRole = ATSPI_ROLE_TOOL_TIP;
    }
    facts.type = type;
    facts.detail1 = event.detail1;
    facts.sourceRole = atspi_accessible_get_role(source, nullptr);
    auto parent = GObjectRef<AtspiAccessible>::adopt(budget.arm() ? atspi_accessible_get_parent(source, nullptr) : nullptr);
    if (parent)
        facts.parentRole = atspi_accessible_get_role(parent.get(), nullptr);
    const auto toolkit = session_->toolkit(source, budget);
    // Qt deletes a closed top level before its "showing" 0 arrives, and a gone object has no
    // parent. GTK 4 may not tell a new top level's parent yet, nor a closed one's any more;
    // its window roles are top levels only.
    const bool endedAndGone = !parent && type == "object:state-changed:showing" && event.detail1 == 0;
    // Gecko's own top levels are frames and dialogs; the application that mirrors them may not
    // tell of a window's parent yet as it shows, nor any more as it hides.
    facts.sourceIsMirroredTopLevel = toolkit == AtspiToolkit::gecko
        && (facts.sourceRole == ATSPI_ROLE_WINDOW
            || (facts.parentRole == ATSPI_ROLE_APPLICATION && !AtspiSession::identity(parent.get()).ends_with(rootPath)));
    facts.sourceIsApplicationChild = facts.parentRole == ATSPI_ROLE_APPLICATION || endedAndGone
        || (!parent && toolkit == AtspiToolkit::gtk4);
    if (facts.sourceRole == ATSPI_ROLE_WINDOW && budget.arm())
        facts.windowType = AtspiSession::windowType(source);
    if (type == "object:state-changed:active" && toolkit == AtspiToolkit::chromium && facts.sourceRole == ATSPI_ROLE_DIALOG
        && parent && budget.arm()) {
        // libatspi answers a request that failed with "defunct" alone.
        auto states = GObjectRef<AtspiStateSet>::adopt(atspi_accessible_get_state_set(parent.get()));
        facts.parentIsKnownInactive = states && !atspi_state_set_contains(states.get(), ATSPI_STATE_DEFUNCT)
            && !atspi_state_set_contains(states.get(), ATSPI_STATE_ACTIVE);
    }
    if (type == "window:activate" && toolkit == AtspiToolkit::chromium && budget.arm()) {
        // Chromium shows its menus and tooltips in untitled frames of their own, activated as
        // they show: neither that nor the window's activation again as they go is a change.
        GOwned<char> name(atspi_accessible_get_name(source, nullptr));
        if (name && *name.get() == '\0') {
            poppedFrom_ = deactivated_.first;
            return;
        }
        if (std::exchange(poppedFrom_, {}) == subjectSource.identity())
            return;
    }

    for (const auto& notification : translateEvent(toolkit, facts)) {
        if (session_->windowFacts() && isWindowServerNotification(notification.name))
            continue;
        const auto subject = subjectOf(notification, subjectSource, parent.get(), child.get());
        if (!subject || !admit(toolkit, event, notification, *subject))
            continue;
        notePopUp(notification.name, *subject, facts.sourceRole == ATSPI_ROLE_TOOL_TIP || child);
        if (!deliver(*subject, notification.name))
            return;
    }
}

std::optional<AXElement> AXObserverAtspi::subjectOf(
    const AtspiNotification& notification, const AXElement& source, AtspiAccessible* parent, AtspiAccessible* child)
{
    switch (notification.subject) {
    case AtspiEventSubject::source:
        return source;
    case AtspiEventSubject::parent:
        return parent ? std::optional(session_->element(parent)) : std::nullopt;
    case AtspiEventSubject::child:
        return child ? std::optional(session_->element(child)) : std::nullopt;
    case AtspiEventSubject::popUp:
        // Only the kind of pop-up shown last ends: a menu closes, a tooltip goes.
        if (!popUp_ || popUp_->isMenu != isMenuNotification(notification.name))
            return std::nullopt;
        return popUp_->element;
    case AtspiEventSubject::openMenu:
        if (!popUp_ || !popUp_->isMenu || popUp_->element != source)
            return std::nullopt;
        return source;
    }
    return std::nullopt;
}

void AXObserverAtspi::notePopUp(const std::string& notification, const AXElement& subject, bool isTooltip)
{
    if (notification == "AXMenuOpened")
        popUp_ = PopUp { subject, true };
    else if (notification == "AXWindowCreated" && isTooltip)
        popUp_ = PopUp { subject, false };
    else if (popUp_) {
        const bool menuClosed = notification == "AXMenuClosed" && popUp_->isMenu;
        const bool popUpGone = notification == destroyedNotification && popUp_->element == subject;
        if (menuClosed || popUpGone)
            popUp_.reset();
    }
}

bool AXObserverAtspi::admit(AtspiToolkit toolkit, const AtspiEvent& event, const AtspiNotification& notification, const AXElement& subject)
{
    const auto& name = notification.name;
    const auto& identity = subject.identity();
    const auto now = session_->executor().monotonicNow();
    if (name == "AXMenuClosed")
        menuClosedAt_ = now;
    // As it closes a menu, GTK 4 focuses the item it opened on once more, and Chromium selects
    // the item its drop-down list closed on.
    if (name == "AXMenuItemSelected" && (toolkit == AtspiToolkit::gtk4 || toolkit == AtspiToolkit::chromium)
        && menuClosedAt_ && now - *menuClosedAt_ < repeatWindow)
        return false;
    // GTK 4 deactivates and activates a window again around each pop-up of its own: a repeat
    // of the active window, which is not known before the observer has seen an activation.
    const bool reactivated = activeWindow_.empty() && identity == deactivated_.first && now - deactivated_.second < repeatWindow;
    if (name == "AXApplicationActivated")
        return session_->activeProcess != processIdentifier_ && !reactivated;
    if (name == "AXFocusedWindowChanged" || name == "AXMainWindowChanged") {
        // Qt activates its window again on every pop-up that opens or closes.
        const bool repeated = session_->activeProcess == processIdentifier_ && activeWindow_ == identity;
        if (name == "AXMainWindowChanged") {
            session_->activeProcess = processIdentifier_;
            activeWindow_ = identity;
        }
        return !repeated && !reactivated;
    }
    if (name == "AXWindowCreated")
        newWindows_.insert(identity);
    if (name == "AXUIElementDestroyed") {
        newWindows_.erase(identity);
        windowSizes_.erase(identity);
    }
    if (name == "AXWindowResized") {
        if (!G_VALUE_HOLDS(&event.any_data, ATSPI_TYPE_RECT))
            return false;
        const auto* rect = static_cast<const AtspiRect*>(g_value_get_boxed(&event.any_data));
        if (!rect)
            return false;
        const std::pair size { rect->width, rect->height };
        const auto previous = windowSizes_.find(identity);
        // A window's first extents after it appeared are no resize.
        const bool fresh = previous == windowSizes_.end() && newWindows_.erase(identity) > 0;
        const bool changed = previous == windowSizes_.end() ? !fresh : previous->second != size;
        windowSizes_[identity] = size;
        if (!changed)
            return false;
    }
    const auto key = name + ' ' + (isMenuNotification(name) ? std::to_string(processIdentifier_) : identity);
    return repeats_.admit(key, now);
}

bool AXObserverAtspi::deliver(const AXElement& subject, const std::string& notification)
{
    // Copies: the callback may change the registrations, stop the observer or destroy it.
    const auto registrations = registrations_;
    const auto callback = callback_;
    const std::weak_ptr<int> alive = alive_;
    for (const auto& registration : registrations) {
        if (registration.notification != notification)
            continue;
        if (registration.coversProcess || registration.element == subject)
            callback(subject, notification, registration.context);
        if (alive.expired() || !started_)
            return false;
    }
    return true;
}

void AXObserverAtspi::windowChanged(const WindowInfo& before, const WindowInfo& after)
{
    if (!started_ || after.pid != processIdentifier_)
        return;
    std::vector<std::string> names;
    if (before.hidden != after.hidden) {
        names.emplace_back(after.hidden ? "AXWindowMiniaturized" : "AXWindowDeminiaturized");
        if (after.hidden)
            restoring_[after.window] = { before.frame, {} };
        else
            restoring_[after.window].shownAt = session_->executor().monotonicNow();
    } else if (isBeingPlaced(after)) {
        // The window manager's placing of a new window is no move by the user.
    } else if (!after.hidden && (before.frame.width != after.frame.width || before.frame.height != after.frame.height)) {
        names.emplace_back("AXWindowResized");
        restoring_.erase(after.window);
    } else if (!after.hidden && (before.frame.x != after.frame.x || before.frame.y != after.frame.y) && !isRestoreStep(after)) {
        names.emplace_back("AXWindowMoved");
    }
    if (std::none_of(names.begin(), names.end(), [&](const std::string& name) { return isRegistered(name); }))
        return;
    const auto window = accessibleWindow(after);
    if (!window)
        return;
    // Each change is the window server's own, never a repeat of another source.
    for (const auto& name : names) {
        if (!deliver(*window, name))
            return;
    }
}

void AXObserverAtspi::clientListChanged()
{
    const auto before = appeared_;
    noteNewWindows(session_->executor().monotonicNow());
    if (!started_ || !windowsToldOnlyByWindowServer())
        return;
    if (isRegistered("AXWindowCreated")) {
        for (const auto& [window, since] : appeared_) {
            const auto info = before.contains(window) ? std::nullopt : session_->windowFacts()->window(window);
            const auto accessible = info ? accessibleWindow(*info) : std::nullopt;
            if (accessible && !deliver(*accessible, "AXWindowCreated"))
                return;
        }
    }
    for (const auto& [window, since] : before) {
        const auto known = accessibleWindows_.find(window);
        if (appeared_.contains(window) || known == accessibleWindows_.end())
            continue;
        const auto accessible = known->second;
        accessibleWindows_.erase(known);
        if (!deliver(accessible, destroyedNotification))
            return;
    }
}

void AXObserverAtspi::popUpChanged(const PopUpWindow& popUp, bool shown)
{
    if (!started_ || popUp.pid != processIdentifier_ || popUp.type != WindowType::tooltip || !windowsToldOnlyByWindowServer())
        return;
    if (!shown) {
        const auto known = tooltipWindows_.find(popUp.window);
        if (known == tooltipWindows_.end())
            return;
        const auto tooltip = known->second;
        tooltipWindows_.erase(known);
        deliver(tooltip, destroyedNotification);
        return;
    }
    auto application = session_->application(processIdentifier_);
    if (!application)
        return;
    const auto budget = session_->budget(session_->element(application.get()));
    if (const auto tooltip = chromiumTooltip(application.get(), budget)) {
        const auto element = session_->element(tooltip.get());
        tooltipWindows_[popUp.window] = element;
        deliver(element, "AXWindowCreated");
    }
}

bool AXObserverAtspi::isRegistered(const std::string& notification) const
{
    return std::any_of(registrations_.begin(), registrations_.end(),
        [&](const Registration& registration) { return registration.notification == notification; });
}

bool AXObserverAtspi::windowsToldOnlyByWindowServer()
{
    // The session knows each application's toolkit once asked.
    const auto application = session_->application(processIdentifier_);
    return application
        && session_->toolkit(application.get(), session_->budget(session_->element(application.get()))) == AtspiToolkit::chromium;
}

void AXObserverAtspi::noteNewWindows(MonotonicTime now)
{
    std::map<xcb_window_t, MonotonicTime> listed;
    for (const auto& window : session_->windowFacts()->windows()) {
        if (window.pid != processIdentifier_)
            continue;
        const auto known = appeared_.find(window.window);
        listed.emplace(window.window, known == appeared_.end() ? now : known->second);
    }
    appeared_ = std::move(listed);
}

bool AXObserverAtspi::isBeingPlaced(const WindowInfo& window) const
{
    const auto appeared = appeared_.find(window.window);
    return appeared != appeared_.end() && session_->executor().monotonicNow() - appeared->second < restoreSettling;
}

bool AXObserverAtspi::isRestoreStep(const WindowInfo& window)
{
    const auto restoring = restoring_.find(window.window);
    if (restoring == restoring_.end())
        return false;
    const bool arrived = window.frame == restoring->second.frame;
    const bool late = session_->executor().monotonicNow() - restoring->second.shownAt > restoreSettling;
    if (arrived || late)
        restoring_.erase(restoring);
    return !late;
}

std::optional<AXElement> AXObserverAtspi::accessibleWindow(const WindowInfo& window)
{
    if (auto known = accessibleWindows_.find(window.window); known != accessibleWindows_.end()) {
        if (AtspiSession::accessible(known->second))
            return known->second;
        accessibleWindows_.erase(known);
    }
    auto application = session_->application(processIdentifier_);
    if (!application)
        return std::nullopt;
    const auto budget = session_->budget(session_->element(application.get()));
    // The one of that title, the nearest in extents among several; Qt names a minimised window "".
    std::optional<AXElement> best;
    double bestDistance = 0;
    for (const auto& child : childrenOf(application.get(), budget)) {
        if (!budget.arm())
            break;
        GOwned<char> name(atspi_accessible_get_name(child.get(), nullptr));
        if (!name || (window.title != name.get() && *name.get() != '\0'))
            continue;
        auto component = GObjectRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(child.get()));
        GOwned<AtspiRect> rect(component && budget.arm()
                ? atspi_component_get_extents(component.get(), extentsCoordinates(session_->toolkit(child.get(), budget)), nullptr)
                : nullptr);
        const double away = rect ? distance({ { double(rect->x), double(rect->y) }, { double(rect->width), double(rect->height) } }, window.frame) : 1e9;
        if (!best || away < bestDistance) {
            best = session_->element(child.get());
            bestDistance = away;
        }
    }
    if (best)
        accessibleWindows_.emplace(window.window, *best);
    return best;
}

void AXObserverAtspi::applicationLeft()
{
    if (session_->application(processIdentifier_))
        return;
    std::vector<Registration> ended;
    for (const auto& registration : registrations_) {
        if (registration.notification == destroyedNotification && !registration.coversProcess)
            ended.push_back(registration);
    }
    const auto callback = callback_;
    const std::weak_ptr<int> alive = alive_;
    for (const auto& registration : ended) {
        removeNotification(registration.element, destroyedNotification);
        callback(registration.element, destroyedNotification, registration.context);
        if (alive.expired() || !started_)
            return;
    }
}

} // namespace tintra
