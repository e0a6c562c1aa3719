#include "input/ClickResolver.h"

#include <algorithm>
#include <array>

namespace tintra {

namespace {

const std::array<std::string, 4> kMenuRoles { "AXMenu", "AXMenuItem", "AXMenuBar", "AXMenuBarItem" };
const std::vector<std::string> kElementBatch { "AXRole", "AXSubrole", "AXPosition", "AXSize" };
const std::vector<std::string> kWindowBatch { "AXSubrole", "AXDefaultButton", "AXCancelButton" };

struct Facts {
    const std::string& role;
    const std::optional<std::string>& subrole;
    bool isDefault = false;
    bool isCancel = false;
    bool isTab = false;
    bool isUtility = false;
};

// First match wins; the window-button and arrow subroles beat the role.
TintraControlKind controlKind(const Facts& facts)
{
    using Kind = TintraControlKind;
    const auto subrole = facts.subrole.value_or("");
    const auto& role = facts.role;
    if (subrole == "AXCloseButton")
        return facts.isUtility ? Kind::utilityWindowClose : Kind::windowClose;
    if (subrole == "AXZoomButton" || subrole == "AXFullScreenButton")
        return facts.isUtility ? Kind::utilityWindowZoom : Kind::windowZoom;
    if (subrole == "AXMinimizeButton")
        return facts.isUtility ? Kind::utilityWindowCollapse : Kind::windowCollapse;
    if (subrole == "AXIncrementArrow")
        return Kind::littleArrowUp;
    if (subrole == "AXDecrementArrow")
        return Kind::littleArrowDown;
    if (role == "AXButton") {
        if (facts.isDefault)
            return Kind::defaultButton;
        if (facts.isCancel)
            return Kind::cancelButton;
        if (subrole == "AXToggle" || subrole == "AXSwitch")
            return Kind::checkbox;
        return Kind::button;
    }
    if (role == "AXCheckBox")
        return Kind::checkbox;
    if (role == "AXRadioButton")
        return facts.isTab ? Kind::tab : Kind::radio;
    if (role == "AXPopUpButton" || role == "AXMenuButton" || role == "AXComboBox")
        return Kind::popUp;
    if (role == "AXDisclosureTriangle")
        return Kind::disclosure;
    if (role == "AXIncrementor")
        return Kind::littleArrowUp; // the stepper as a whole sounds like its up arrow
    if (role == "AXScrollBar")
        return Kind::scrollTrack;
    if (role == "AXSlider" || role == "AXValueIndicator")
        return Kind::sliderTrack;
    return Kind::genericClick;
}

// A button may be its window's default or cancel button, and a window button a utility
// window's; a little arrow, though a button, and every other kind are what they are anywhere.
bool dependsOnWindow(const Facts& facts)
{
    const auto kind = controlKind(facts);
    return facts.role == "AXButton" && kind != TintraControlKind::littleArrowUp && kind != TintraControlKind::littleArrowDown;
}

std::optional<std::string> textValue(const std::map<std::string, AXValue>& values, const std::string& name)
{
    const auto found = values.find(name);
    if (found == values.end())
        return std::nullopt;
    if (const auto* text = found->second.get<std::string>())
        return *text;
    return std::nullopt;
}

std::optional<AXElement> elementValue(const std::map<std::string, AXValue>& values, const std::string& name)
{
    const auto found = values.find(name);
    if (found == values.end())
        return std::nullopt;
    if (const auto* element = found->second.get<AXElement>())
        return *element;
    return std::nullopt;
}

// The one place where accessibility geometry becomes the core's.
std::optional<Rect> frameFrom(const std::map<std::string, AXValue>& values)
{
    const auto position = values.find("AXPosition");
    const auto size = values.find("AXSize");
    if (position == values.end() || size == values.end())
        return std::nullopt;
    const auto* origin = position->second.get<AXPoint>();
    const auto* extent = size->second.get<AXSize>();
    if (!origin || !extent)
        return std::nullopt;
    return Rect { origin->x, origin->y, extent->width, extent->height };
}

AXPoint hitTestPoint(Point point)
{
    // The platform takes single-precision coordinates.
    return { static_cast<float>(point.x), static_cast<float>(point.y) };
}

} // namespace

TintraClickResolver::TintraClickResolver(Accessibility& accessibility, Workspace& workspace, ExclusionTest isExcluded)
    : accessibility_(accessibility)
    , isExcluded_(std::move(isExcluded))
    , systemWideElement_(accessibility.systemWideElement())
    , hostProcessIdentifier_(workspace.hostProcessIdentifier())
    , identities_(workspace)
{
    accessibility_.setMessagingTimeout(systemWideElement_, messagingTimeout);
}

std::optional<TintraClickTarget> TintraClickResolver::resolve(Point point)
{
    const auto element = accessibility_.elementAtPosition(systemWideElement_, hitTestPoint(point));
    if (!element || element->isNull())
        return std::nullopt;
    const auto processIdentifier = accessibility_.processIdentifier(*element);
    if (!processIdentifier)
        return std::nullopt;
    // A copy: the cache may lose the entry before the target is built.
    const ProcessIdentity identity = identities_.identity(*processIdentifier);
    if (*processIdentifier == hostProcessIdentifier_)
        return std::nullopt;
    if (isExcluded_(identity.bundleIdentifier))
        return std::nullopt;

    const auto attributes = elementAttributes(*element);
    if (!attributes.role)
        return std::nullopt;
    if (std::find(kMenuRoles.begin(), kMenuRoles.end(), *attributes.role) != kMenuRoles.end())
        return std::nullopt;

    Facts facts { *attributes.role, attributes.subrole };
    facts.isTab = *attributes.role == "AXRadioButton" && isTab(*element);
    if (dependsOnWindow(facts)) {
        const auto window = accessibility_.copyAttributeValue(*element, "AXWindow");
        const auto windowValues = fetch(window && window->get<AXElement>() ? *window->get<AXElement>() : *element, kWindowBatch);
        const auto windowSubrole = textValue(windowValues, "AXSubrole");
        facts.isDefault = elementValue(windowValues, "AXDefaultButton") == *element;
        facts.isCancel = elementValue(windowValues, "AXCancelButton") == *element;
        facts.isUtility = windowSubrole == "AXFloatingWindow" || windowSubrole == "AXSystemFloatingWindow";
    }

    const auto kind = controlKind(facts);
    if (kind == TintraControlKind::genericClick && !playsGenericClick)
        return std::nullopt;
    return TintraClickTarget { kind, attributes.frame, *processIdentifier, identity.name };
}

TintraClickResolver::AttributeValues TintraClickResolver::fetch(
    const AXElement& element, const std::vector<std::string>& names)
{
    AttributeValues values;
    const auto batch = accessibility_.copyMultipleAttributeValues(element, names);
    if (batch && batch->size() == names.size()) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto& result = (*batch)[i];
            if (result && !result->isNull())
                values.emplace(names[i], *result);
        }
        return values;
    }
    // One unanswerable attribute must not cost the others.
    for (const auto& name : names) {
        auto result = accessibility_.copyAttributeValue(element, name);
        if (result && !result->isNull())
            values.emplace(name, std::move(*result));
    }
    return values;
}

TintraClickResolver::ElementAttributes TintraClickResolver::elementAttributes(const AXElement& element)
{
    const auto values = fetch(element, kElementBatch);
    return { textValue(values, "AXRole"), textValue(values, "AXSubrole"), frameFrom(values) };
}

// Only the direct parent counts, never an ancestor further up.
bool TintraClickResolver::isTab(const AXElement& element)
{
    const auto parent = accessibility_.copyAttributeValue(element, "AXParent");
    if (!parent)
        return false;
    const auto* parentElement = parent->get<AXElement>();
    if (!parentElement)
        return false;
    const auto role = accessibility_.copyAttributeValue(*parentElement, "AXRole");
    return role && role->get<std::string>() && *role->get<std::string>() == "AXTabGroup";
}

} // namespace tintra
