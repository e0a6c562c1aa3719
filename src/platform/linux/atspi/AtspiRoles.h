#pragma once

#include "platform/linux/atspi/AtspiToolkit.h"

#include <atspi/atspi-constants.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tintra {

// What decides an element's AX role and subrole, read from the application.
// Only the facts that the element's own role needs are filled in; the rest
// keep their defaults.
struct AtspiRoleFacts {
    AtspiRole role = ATSPI_ROLE_INVALID;
    AtspiRole parentRole = ATSPI_ROLE_INVALID;
    AtspiRole grandparentRole = ATSPI_ROLE_INVALID;
    AtspiRole greatGrandparentRole = ATSPI_ROLE_INVALID;
    bool parentIsApplication = false;
    std::uint64_t states = 0; // bit n is AtspiStateType n
    std::string name;
    std::string windowType; // GTK 3's "window-type" attribute
    std::vector<std::string> actions;
    bool ownsMenu = false;
    bool ownsEditableText = false;

    bool has(AtspiStateType state) const { return states & (std::uint64_t { 1 } << state); }
    bool hasAction(const std::string& action) const;
};

struct AXRoles {
    std::string role;
    std::string subrole; // empty: none
    friend bool operator==(const AXRoles&, const AXRoles&) = default;
};

// Which facts beyond the role the translation needs for an element of `role` in `toolkit`.
struct AtspiRoleNeeds {
    enum class Parent { no, yes, ofWindowButtonNames };
    Parent parent = Parent::no;
    int ancestors = 0; // roles read above the parent's: 1 the grandparent's, 2 its parent's too
    bool states = false;
    bool name = false;
    bool windowType = false;
    bool actions = false;
    bool children = false;
};
AtspiRoleNeeds roleNeeds(AtspiToolkit toolkit, AtspiRole role);

// The toolkit family's row first, then the rows every toolkit shares.
AXRoles axRoles(AtspiToolkit toolkit, const AtspiRoleFacts& facts);

// A header bar's window button ("Close", "Minimize", "Maximize" in the C
// locale, as GTK names them), or an empty subrole.
std::string headerBarButtonSubrole(const std::string& name);

// A dialog's button that dismisses it ("Cancel", "_Cancel", "&Cancel").
bool isCancelName(const std::string& name);

// Windows of the application as the window server sees them: frames,
// dialogs, alerts, tooltips and Qt's plain top levels; pop-up menus are not.
bool isWindowRole(AtspiRole role, const std::string& windowType);

} // namespace tintra
