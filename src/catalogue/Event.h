#pragma once

#include "catalogue/ApplicationDescription.h"
#include "catalogue/DiskDescription.h"
#include "catalogue/SoundID.h"
#include "accessibility/AXElement.h"
#include "support/Clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tintra {

enum class TintraEventOrigin {
    application, // an observed application's interface
    system, // login, logout, user switch, workspace, disk, launch or quit
};

// The interface element behind an event: the live element, or the name
// recorded for one that no longer exists (a closed window).
class TintraEventElement {
public:
    static TintraEventElement unnamed(AXElement element) { return TintraEventElement(std::move(element)); }
    static TintraEventElement named(std::string name) { return TintraEventElement(std::move(name)); }

    const AXElement* element() const { return std::get_if<AXElement>(&value_); }
    const std::string* name() const { return std::get_if<std::string>(&value_); }

    friend bool operator==(const TintraEventElement&, const TintraEventElement&) = default;

private:
    explicit TintraEventElement(std::variant<AXElement, std::string> value) : value_(std::move(value)) {}
    std::variant<AXElement, std::string> value_;
};

// One thing that happened and the sound that answers it. Its identity is its date.
struct TintraEvent {
    std::string notificationName; // "AXMenuOpened", "App Launched", "Logging Out"
    TintraSoundID soundID;
    std::int32_t processIdentifier = 0; // 0 for login, logout and user switch
    std::optional<std::string> applicationName;
    WallTime date;
    TintraEventOrigin origin = TintraEventOrigin::application;
    std::optional<std::string> detail;
    std::optional<TintraEventElement> element;
    std::optional<TintraDiskDescription> disk;
    std::optional<TintraApplicationDescription> application;
    std::optional<float> pan; // -1 left … 1 right; absent lets the player choose

    WallTime id() const { return date; }
    friend bool operator==(const TintraEvent&, const TintraEvent&) = default;
};

} // namespace tintra
