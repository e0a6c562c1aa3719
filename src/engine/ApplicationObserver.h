#pragma once

#include "catalogue/Event.h"
#include "catalogue/NotificationMapping.h"
#include "catalogue/SoundID.h"
#include "accessibility/Accessibility.h"
#include "engine/ObserverError.h"
#include "support/Clock.h"
#include "support/WeakSelf.h"

#include <tl/expected.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace tintra {

// Watches one running application through the accessibility service: registers
// the working mapping list's notifications on its root element, drops the
// noise (selections elsewhere than in front or while typing, help tags that
// follow the pointer, the desktop), resolves the rest into sounds and hands
// each finished event to `handler`. Remembers windows, sheets, drawers and help
// tags so that their disappearance can sound.
//
// Main thread only. One attach per observer: after a failed attach or a
// detach the controller builds a new one.
class TintraApplicationObserver {
public:
    using EventHandler = std::function<void(const TintraEvent&)>;

    struct TrackedElement {
        AXElement element;
        TintraSoundID closeSoundID;
        std::optional<std::string> name; // for the close event
        bool isHelpTag = false;
    };

    // What the observer asks of the rest of the system while handling a notification.
    struct Environment {
        std::reference_wrapper<Accessibility> accessibility;
        std::reference_wrapper<const Clock> clock;
        std::function<std::optional<std::int32_t>()> frontmostProcessIdentifier;
        std::function<bool()> isTyping;
        // The element's one-line name, none when it has no role.
        std::function<std::optional<std::string>(const AXElement&)> elementName;
    };

    static constexpr std::size_t maximumTrackedElements = 128;
    static constexpr std::size_t maximumScannedWindows = 32;
    // What the creator sets on the application element before attaching.
    static constexpr Duration applicationMessagingTimeout = std::chrono::milliseconds(250);

    // Registration follows the order of `mappings`; a repeated name keeps its
    // first place and its last mapping.
    TintraApplicationObserver(Environment environment, std::int32_t processIdentifier,
        std::optional<std::string> localizedName, std::optional<std::string> bundleIdentifier,
        AXElement applicationElement, std::span<const TintraNotificationMapping> mappings, EventHandler handler,
        bool menusOnly);
    ~TintraApplicationObserver();
    TintraApplicationObserver(const TintraApplicationObserver&) = delete;
    TintraApplicationObserver& operator=(const TintraApplicationObserver&) = delete;

    // Does nothing when attached. A failure leaves the observer unattached
    // with `didTimeOut` and `attachDuration` set.
    tl::expected<void, TintraObserverError> attach();
    // Unregisters everything and lets the platform observer go; does nothing
    // when not attached.
    void detach();

    std::int32_t processIdentifier() const { return processIdentifier_; }
    const std::optional<std::string>& localizedName() const { return localizedName_; }
    const std::optional<std::string>& bundleIdentifier() const { return bundleIdentifier_; }
    const AXElement& applicationElement() const { return applicationElement_; }
    bool menusOnly() const { return menusOnly_; }
    bool isAttached() const { return observer_ != nullptr; }
    const std::vector<std::string>& registeredRawNames() const { return registeredRawNames_; }
    const std::vector<TrackedElement>& trackedElements() const { return trackedElements_; }
    // Some accessibility call of the attach or its window scan went unanswered.
    bool didTimeOut() const { return didTimeOut_; }
    // From the start of the last attach to its end, failed or not.
    Duration attachDuration() const { return attachDuration_; }

private:
    void registerApplicationNotifications();
    void scanExistingWindows();
    // The error of the registration on the element; success when nothing was
    // to be done.
    AXError remember(const AXElement& element, TintraSoundID closeSoundID, std::optional<std::string> name,
        bool isHelpTag);
    void forget(std::vector<TrackedElement>::iterator tracked);
    std::vector<TrackedElement>::iterator findTracked(const AXElement& element);

    void handleNotification(const std::string& notification, const AXElement& element, AXContext context);
    bool isDesktop(const AXElement& element);
    bool isEmptySelection(const AXElement& element, const std::string& notification);
    bool isHelpTag(const AXElement& element);
    void emit(const std::string& notification, TintraSoundID soundID, std::optional<TintraEventElement> element);

    std::optional<std::string> text(const AXElement& element, const std::string& attribute);
    std::optional<AXElement> elementValue(const AXElement& element, const std::string& attribute);
    bool isMapped(const std::string& notification) const { return mappingsByRawName_.contains(notification); }

    Environment environment_;
    std::int32_t processIdentifier_;
    std::optional<std::string> localizedName_;
    std::optional<std::string> bundleIdentifier_;
    AXElement applicationElement_;
    std::unordered_map<std::string, TintraNotificationMapping> mappingsByRawName_;
    std::vector<std::string> rawNamesInOrder_;
    EventHandler handler_;
    bool menusOnly_;
    std::unique_ptr<AXObserver> observer_;
    std::vector<std::string> registeredRawNames_;
    std::vector<TrackedElement> trackedElements_;
    bool didTimeOut_ = false;
    Duration attachDuration_ {};
    // Recognises this observer's registrations in the platform callback.
    const AXContext context_;
    WeakSelf<TintraApplicationObserver> self_ { *this };
};

} // namespace tintra
