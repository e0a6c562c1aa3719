#include "engine/ApplicationObserver.h"

#include "support/Text.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace tintra {
namespace {

const std::string destroyedNotification = "AXUIElementDestroyed";
const std::string windowCreatedNotification = "AXWindowCreated";

const std::string finderIdentifier = "com.apple.finder";
const std::string menuBarAgentIdentifier = "com.apple.MenuBarAgent";
const std::string dockIdentifier = "com.apple.dock";

const std::string menuRole = "AXMenu";
const std::string unknownSubrole = "AXUnknown";

// The buttons a real window has and a help tag lacks, in the order they are tried.
const std::vector<std::string> windowButtonAttributes {
    "AXCloseButton", "AXMinimizeButton", "AXZoomButton", "AXFullScreenButton", "AXToolbarButton"
};

AXContext nextContext()
{
    static std::atomic<AXContext> next { 1 };
    return next++;
}

bool isMenuRole(const std::string& role)
{
    return role == menuRole || role == "AXMenuItem" || role == "AXMenuBar" || role == "AXMenuBarItem";
}

// The attribute that holds the selection, for a selection notification.
const std::string* selectionAttribute(const std::string& notification)
{
    for (const auto& [name, attribute] : selectionNotifications()) {
        if (name.rawValue == notification)
            return &attribute;
    }
    return nullptr;
}

bool isWindowDrag(const std::string& notification)
{
    const auto drags = windowDragNotifications();
    return std::any_of(drags.begin(), drags.end(), [&](const auto& name) { return name.rawValue == notification; });
}

bool isDesktopDescription(const std::optional<std::string>& description)
{
    return description && lowercased(*description) == "desktop";
}

struct WindowSounds {
    TintraSoundID open;
    TintraSoundID close;
};

WindowSounds windowSounds(const std::optional<std::string>& subrole, bool isHelpTag)
{
    if (subrole == "AXDialog")
        return { "dopn", "dlgc" };
    if (subrole == "AXSystemDialog")
        return { "aopn", "altc" };
    if (subrole == "AXFloatingWindow" || subrole == "AXSystemFloatingWindow")
        return { "uopn", "ucls" };
    if (subrole == unknownSubrole && isHelpTag)
        return { "blno", "blnc" };
    return { "wopn", "wcls" };
}

template <typename... Cases>
struct Overloaded : Cases... {
    using Cases::operator()...;
};
// Clang 14 does not deduce aggregate template arguments by itself.
template <typename... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

} // namespace

TintraApplicationObserver::TintraApplicationObserver(Environment environment, std::int32_t processIdentifier,
    std::optional<std::string> localizedName, std::optional<std::string> bundleIdentifier, AXElement applicationElement,
    std::span<const TintraNotificationMapping> mappings, EventHandler handler, bool menusOnly)
    : environment_(std::move(environment))
    , processIdentifier_(processIdentifier)
    , localizedName_(std::move(localizedName))
    , bundleIdentifier_(std::move(bundleIdentifier))
    , applicationElement_(std::move(applicationElement))
    , handler_(std::move(handler))
    , menusOnly_(menusOnly)
    , context_(nextContext())
{
    for (const auto& mapping : mappings) {
        const auto& name = mapping.notification.rawValue;
        if (mappingsByRawName_.insert_or_assign(name, mapping).second)
            rawNamesInOrder_.push_back(name);
    }
}

TintraApplicationObserver::~TintraApplicationObserver()
{
    if (observer_)
        observer_->stop();
}

// --- Attach and detach

tl::expected<void, TintraObserverError> TintraApplicationObserver::attach()
{
    if (observer_)
        return {};
    const auto& clock = environment_.clock.get();
    const auto start = clock.monotonicNow();

    auto created = environment_.accessibility.get().createObserver(processIdentifier_,
        self_.bind([](TintraApplicationObserver& self, const AXElement& element, const std::string& notification,
                       AXContext context) { self.handleNotification(notification, element, context); }));
    if (!created || !*created) {
        const auto error = created ? AXError::failure : created.error();
        if (error == AXError::cannotComplete)
            didTimeOut_ = true;
        attachDuration_ = clock.monotonicNow() - start;
        return tl::unexpected(
            TintraObserverError { TintraObserverError::Case::couldNotCreateObserver, processIdentifier_, error });
    }
    observer_ = std::move(*created);

    registerApplicationNotifications();
    observer_->start();
    if (!didTimeOut_)
        scanExistingWindows();
    attachDuration_ = clock.monotonicNow() - start;
    return {};
}

void TintraApplicationObserver::registerApplicationNotifications()
{
    // Only successes and time-outs count as "the registration before".
    bool previousTimedOut = false;
    for (const auto& name : rawNamesInOrder_) {
        // Disappearance is registered per remembered element, never on the application.
        if (std::holds_alternative<TintraSoundResolution::destroyedElement>(mappingsByRawName_.at(name).resolution.value))
            continue;
        const auto error = observer_->addNotification(applicationElement_, name, context_);
        if (error == AXError::success) {
            registeredRawNames_.push_back(name);
            previousTimedOut = false;
        } else if (error == AXError::cannotComplete) {
            didTimeOut_ = true;
            if (previousTimedOut)
                break;
            previousTimedOut = true;
        }
    }
}

void TintraApplicationObserver::scanExistingWindows()
{
    if (!isMapped(windowCreatedNotification))
        return;
    auto windows = environment_.accessibility.get().copyAttributeValue(applicationElement_, "AXWindows");
    if (!windows) {
        if (windows.error() == AXError::cannotComplete)
            didTimeOut_ = true;
        return;
    }
    const auto* list = windows->get<AXValue::List>();
    if (!list || !std::all_of(list->begin(), list->end(), [](const AXValue& item) { return item.get<AXElement>(); }))
        return;

    const auto count = std::min(list->size(), maximumScannedWindows);
    for (std::size_t i = 0; i < count && observer_; ++i) {
        // One unanswered window means the application has stopped answering:
        // asking about the rest would hold the main thread for each of them.
        if (remember(*(*list)[i].get<AXElement>(), "wcls", std::nullopt, false) == AXError::cannotComplete) {
            didTimeOut_ = true;
            return;
        }
    }
}

void TintraApplicationObserver::detach()
{
    if (!observer_)
        return;
    for (const auto& name : registeredRawNames_)
        observer_->removeNotification(applicationElement_, name);
    for (const auto& tracked : trackedElements_)
        observer_->removeNotification(tracked.element, destroyedNotification);
    observer_->stop();
    registeredRawNames_.clear();
    trackedElements_.clear();
    observer_.reset();
}

// --- Tracked elements

AXError TintraApplicationObserver::remember(
    const AXElement& element, TintraSoundID closeSoundID, std::optional<std::string> name, bool isHelpTag)
{
    if (!observer_ || !isMapped(destroyedNotification) || findTracked(element) != trackedElements_.end())
        return AXError::success;
    if (auto error = observer_->addNotification(element, destroyedNotification, context_); error != AXError::success)
        return error;
    if (trackedElements_.size() >= maximumTrackedElements)
        forget(trackedElements_.begin());
    trackedElements_.push_back({ element, closeSoundID, std::move(name), isHelpTag });
    return AXError::success;
}

void TintraApplicationObserver::forget(std::vector<TrackedElement>::iterator tracked)
{
    observer_->removeNotification(tracked->element, destroyedNotification);
    trackedElements_.erase(tracked);
}

std::vector<TintraApplicationObserver::TrackedElement>::iterator TintraApplicationObserver::findTracked(
    const AXElement& element)
{
    return std::find_if(trackedElements_.begin(), trackedElements_.end(),
        [&](const TrackedElement& tracked) { return tracked.element == element; });
}

// --- Handling one notification

void TintraApplicationObserver::handleNotification(
    const std::string& notification, const AXElement& element, AXContext context)
{
    if (context != context_)
        return;
    const auto mapping = mappingsByRawName_.find(notification);
    if (mapping == mappingsByRawName_.end())
        return;

    // Read once, by the menus-only filter or by the selected-children resolution.
    std::optional<std::optional<std::string>> role;
    const auto roleOfElement = [&]() -> const std::optional<std::string>& {
        if (!role)
            role = text(element, "AXRole");
        return *role;
    };

    if (menusOnly_) {
        const auto& elementRole = roleOfElement();
        if (!elementRole || !isMenuRole(*elementRole))
            return;
    }
    const auto* selection = selectionAttribute(notification);
    if (selection && environment_.frontmostProcessIdentifier() != processIdentifier_)
        return;
    if (isWindowDrag(notification)) {
        // A help tag follows the pointer; its moves are not the user's.
        if (auto tracked = findTracked(element); tracked != trackedElements_.end() && tracked->isHelpTag)
            return;
    }
    if ((bundleIdentifier_ == finderIdentifier || bundleIdentifier_ == menuBarAgentIdentifier) && isDesktop(element))
        return;
    if (selection && (environment_.isTyping() || isEmptySelection(element, *selection)))
        return;

    std::visit(Overloaded {
                   [&](const TintraSoundResolution::fixed& fixed) {
                       emit(notification, fixed.sound, TintraEventElement::unnamed(element));
                   },
                   [&](const TintraSoundResolution::tracked& tracked) {
                       remember(element, tracked.close, environment_.elementName(element), false);
                       emit(notification, tracked.open, TintraEventElement::unnamed(element));
                   },
                   [&](const TintraSoundResolution::createdWindow&) {
                       const auto subrole = text(element, "AXSubrole");
                       const bool helpTag = subrole == unknownSubrole && isHelpTag(element);
                       const auto sounds = windowSounds(subrole, helpTag);
                       remember(element, sounds.close, environment_.elementName(element), helpTag);
                       emit(notification, sounds.open, TintraEventElement::unnamed(element));
                   },
                   [&](const TintraSoundResolution::destroyedElement&) {
                       auto tracked = findTracked(element);
                       if (tracked == trackedElements_.end())
                           return;
                       const auto closed = *tracked;
                       forget(tracked);
                       emit(notification, closed.closeSoundID,
                           closed.name ? std::optional(TintraEventElement::named(*closed.name)) : std::nullopt);
                   },
                   [&](const TintraSoundResolution::selectedChildrenChanged& children) {
                       if (roleOfElement() == menuRole && children.menuHilite != children.defaultSound)
                           emit(notification, children.menuHilite, TintraEventElement::unnamed(element));
                       else if (bundleIdentifier_ == dockIdentifier)
                           emit(notification, children.defaultSound, TintraEventElement::unnamed(element));
                   },
               },
        mapping->second.resolution.value);
}

bool TintraApplicationObserver::isDesktop(const AXElement& element)
{
    if (!isDesktopDescription(text(element, "AXDescription")))
        return false;
    const auto window = elementValue(element, "AXWindow");
    if (!window)
        return false;
    if (*window != element && !isDesktopDescription(text(*window, "AXDescription")))
        return false;
    const auto names = environment_.accessibility.get().copyParameterizedAttributeNames(element);
    return names && std::find(names->begin(), names->end(), "AXReplaceRangeWithText") != names->end();
}

bool TintraApplicationObserver::isEmptySelection(const AXElement& element, const std::string& attribute)
{
    // A selection that cannot be read might not be empty, so it sounds.
    const auto value = environment_.accessibility.get().copyAttributeValue(element, attribute);
    const auto* items = value ? value->get<AXValue::List>() : nullptr;
    return items && items->empty();
}

bool TintraApplicationObserver::isHelpTag(const AXElement& element)
{
    if (auto title = text(element, "AXTitle"); title && !title->empty())
        return false;
    return std::none_of(windowButtonAttributes.begin(), windowButtonAttributes.end(),
        [&](const std::string& attribute) { return elementValue(element, attribute).has_value(); });
}

void TintraApplicationObserver::emit(
    const std::string& notification, TintraSoundID soundID, std::optional<TintraEventElement> element)
{
    TintraEvent event;
    event.notificationName = notification;
    event.soundID = soundID;
    event.processIdentifier = processIdentifier_;
    event.applicationName = localizedName_;
    event.date = environment_.clock.get().now();
    event.origin = TintraEventOrigin::application;
    event.element = std::move(element);
    handler_(event);
}

// --- Attribute reads; a failure is no value

std::optional<std::string> TintraApplicationObserver::text(const AXElement& element, const std::string& attribute)
{
    const auto value = environment_.accessibility.get().copyAttributeValue(element, attribute);
    const auto* string = value ? value->get<std::string>() : nullptr;
    return string ? std::optional(*string) : std::nullopt;
}

std::optional<AXElement> TintraApplicationObserver::elementValue(const AXElement& element, const std::string& attribute)
{
    const auto value = environment_.accessibility.get().copyAttributeValue(element, attribute);
    const auto* found = value ? value->get<AXElement>() : nullptr;
    return found ? std::optional(*found) : std::nullopt;
}

} // namespace tintra
