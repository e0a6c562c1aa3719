#pragma once

#include "platform/linux/atspi/AtspiToolkit.h"

#include <atspi/atspi-constants.h>

#include <string>
#include <vector>

namespace tintra {

// One AT-SPI event as the translation needs it.
struct AtspiEventFacts {
    std::string type; // "object:state-changed:selected", "window:create" …
    int detail1 = 0;
    AtspiRole sourceRole = ATSPI_ROLE_INVALID;
    AtspiRole parentRole = ATSPI_ROLE_INVALID;
    bool sourceIsApplicationChild = false;
    std::string windowType; // GTK 3's "window-type" of a source window
    AtspiRole childRole = ATSPI_ROLE_INVALID; // of the child a "children-changed" names
    // Firefox mirrors its top levels, pop-ups included, as children of a second application of
    // its process that the desktop does not list.
    bool sourceIsMirroredTopLevel = false;
    // Told of Chromium's dialogs as they are deactivated: their window's states were read, and
    // it is not active.
    bool parentIsKnownInactive = false;
};

// Which element a notification is about: the event's source, its parent (the
// container whose selection an item's state change reports), the child it
// names, the pop-up (menu or tooltip) the process showed last, or the source
// only when it is the menu open.
enum class AtspiEventSubject { source, parent, child, popUp, openMenu };

struct AtspiNotification {
    std::string name;
    AtspiEventSubject subject = AtspiEventSubject::source;
    friend bool operator==(const AtspiNotification&, const AtspiNotification&) = default;
};

// The AX notifications that one event means, before de-duplication: a user
// action often raises several events that each translate to the same
// notification.
std::vector<AtspiNotification> translateEvent(AtspiToolkit toolkit, const AtspiEventFacts& event);

// The AT-SPI event types that a notification is made from; none for a
// notification AT-SPI cannot tell.
const std::vector<std::string>& atspiEventTypes(const std::string& notification);

// Notifications about a whole application's menus, de-duplicated per
// application rather than per element.
bool isMenuNotification(const std::string& notification);

} // namespace tintra
