#pragma once

#include "catalogue/SoundID.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tintra {

// An accessibility notification name ("AXMenuOpened"), compared by its text.
struct TintraAXNotificationName {
    std::string rawValue;

    friend bool operator==(const TintraAXNotificationName&, const TintraAXNotificationName&) = default;
};

// How a notification becomes a sound.
struct TintraSoundResolution {
    // Always this sound.
    struct fixed {
        TintraSoundID sound;
        friend bool operator==(const fixed&, const fixed&) = default;
    };
    // `open` now; `close` when the element is destroyed.
    struct tracked {
        TintraSoundID open;
        TintraSoundID close;
        friend bool operator==(const tracked&, const tracked&) = default;
    };
    // `menuHilite` when the element is a menu, otherwise `defaultSound`.
    struct selectedChildrenChanged {
        TintraSoundID defaultSound;
        TintraSoundID menuHilite;
        friend bool operator==(const selectedChildrenChanged&, const selectedChildrenChanged&) = default;
    };
    // The open and close sounds follow from the new window's subrole.
    struct createdWindow {
        friend bool operator==(const createdWindow&, const createdWindow&) = default;
    };
    // The close sound remembered for the element.
    struct destroyedElement {
        friend bool operator==(const destroyedElement&, const destroyedElement&) = default;
    };

    std::variant<fixed, tracked, selectedChildrenChanged, createdWindow, destroyedElement> value;

    friend bool operator==(const TintraSoundResolution&, const TintraSoundResolution&) = default;
};

struct TintraNotificationMapping {
    TintraAXNotificationName notification;
    TintraSoundResolution resolution;
    bool isEnabledByDefault = false;

    friend bool operator==(const TintraNotificationMapping&, const TintraNotificationMapping&) = default;
};

// All 29 rows in table order.
std::span<const TintraNotificationMapping> notificationMappings();

// The rows enabled by default, in table order: the controller's initial working list.
std::span<const TintraNotificationMapping> defaultNotificationMappings();

// The only notifications registered on the system's own menus.
std::span<const TintraAXNotificationName> menuNotifications();

// Each selection notification with the attribute that holds the selection.
std::span<const std::pair<TintraAXNotificationName, std::string>> selectionNotifications();

// Window moves and resizes, which play looping drag sounds.
std::span<const TintraAXNotificationName> windowDragNotifications();

// The row for a notification, or null.
const TintraNotificationMapping* notificationMapping(std::string_view notification);

} // namespace tintra

template <>
struct std::hash<tintra::TintraAXNotificationName> {
    std::size_t operator()(const tintra::TintraAXNotificationName& name) const noexcept
    {
        return std::hash<std::string> {}(name.rawValue);
    }
};
