#include "platform/linux/atspi/AtspiAttributes.h"

#include "platform/linux/atspi/AtspiSurfaces.h"

#include <functional>
#include <map>

namespace tintra {
namespace {

using Accessible = GObjectRef<AtspiAccessible>;

// How many of a window's descendants are searched for its buttons when the
// toolkit has no collection interface (Qt).
constexpr std::size_t maximumSearchedDescendants = 400;

std::uint64_t stateBits(AtspiAccessible* accessible)
{
    auto set = GObjectRef<AtspiStateSet>::adopt(atspi_accessible_get_state_set(accessible));
    if (!set)
        return 0;
    GArray* states = atspi_state_set_get_states(set.get());
    std::uint64_t bits = 0;
    for (guint i = 0; states && i < states->len; ++i) {
        const auto state = g_array_index(states, AtspiStateType, i);
        if (state < 64)
            bits |= std::uint64_t { 1 } << state;
    }
    if (states)
        g_array_free(states, TRUE);
    return bits;
}

bool hasState(AtspiAccessible* accessible, AtspiStateType state)
{
    return stateBits(accessible) & (std::uint64_t { 1 } << state);
}

std::string nameOf(AtspiAccessible* accessible)
{
    GOwned<char> name(atspi_accessible_get_name(accessible, nullptr));
    return name ? name.get() : "";
}

std::vector<std::string> actionsOf(AtspiAccessible* accessible)
{
    std::vector<std::string> names;
    auto action = GObjectRef<AtspiAction>::adopt(atspi_accessible_get_action_iface(accessible));
    if (!action)
        return names;
    const int count = atspi_action_get_n_actions(action.get(), nullptr);
    for (int i = 0; i < count; ++i) {
        GOwned<char> name(atspi_action_get_action_name(action.get(), i, nullptr));
        if (name)
            names.emplace_back(name.get());
    }
    return names;
}

// A window's buttons never sit among the items of a list, tree, table or menu, which are most of
// what a window holds.
bool holdsItems(AtspiRole role)
{
    switch (role) {
    case ATSPI_ROLE_LIST:
    case ATSPI_ROLE_LIST_BOX:
    case ATSPI_ROLE_TREE:
    case ATSPI_ROLE_TREE_TABLE:
    case ATSPI_ROLE_TABLE:
    case ATSPI_ROLE_MENU_BAR:
    case ATSPI_ROLE_MENU:
    case ATSPI_ROLE_POPUP_MENU:
    case ATSPI_ROLE_COMBO_BOX:
        return true;
    default:
        return false;
    }
}

} // namespace

AtspiDescendants::AtspiDescendants(AtspiAccessible* root, const AtspiBudget& budget)
    : root_(root)
    , budget_(budget)
{
}

std::optional<std::pair<AtspiAccessible*, AtspiRole>> AtspiDescendants::at(std::size_t index)
{
    if (!started_) {
        started_ = true;
        for (auto& child : childrenOf(root_, budget_))
            visited_.push_back({ std::move(child), ATSPI_ROLE_INVALID });
    }
    while (index >= visited_.size() && expanded_ < visited_.size() && budget_.arm()) {
        auto& [parent, role] = visited_[expanded_++];
        if (holdsItems(roleOf(parent.get(), role)))
            continue;
        for (auto& child : childrenOf(parent.get(), budget_))
            visited_.push_back({ std::move(child), ATSPI_ROLE_INVALID });
    }
    if (index >= visited_.size() || index >= maximumSearchedDescendants || !budget_.arm())
        return std::nullopt;
    auto& [descendant, role] = visited_[index];
    return std::pair(descendant.get(), roleOf(descendant.get(), role));
}

AtspiRole AtspiDescendants::roleOf(AtspiAccessible* accessible, AtspiRole& known)
{
    if (known == ATSPI_ROLE_INVALID)
        known = atspi_accessible_get_role(accessible, nullptr);
    return known;
}

namespace {

// The first button below a window that `matches`, breadth first, through the collection
// interface in one request where the toolkit has it; none when there is none. The search ends at
// the first, since the searches of one batched read share its time, and the descendants it asked
// serve the next search of the read.
Accessible findButton(AtspiAccessible* root, AtspiStateType state, const std::function<bool(AtspiAccessible*)>& matches,
    const AtspiBudget& budget, std::optional<AtspiDescendants>& descendants)
{
    const AtspiRole role = ATSPI_ROLE_PUSH_BUTTON;
    if (auto collection = GObjectRef<AtspiCollection>::adopt(atspi_accessible_get_collection_iface(root))) {
        auto states = GObjectRef<AtspiStateSet>::adopt(atspi_state_set_new(nullptr));
        if (state != ATSPI_STATE_INVALID)
            atspi_state_set_add(states.get(), state);
        GArray* roles = g_array_new(FALSE, FALSE, sizeof(AtspiRole));
        g_array_append_val(roles, role);
        auto rule = GObjectRef<AtspiMatchRule>::adopt(atspi_match_rule_new(states.get(), ATSPI_Collection_MATCH_ALL,
            nullptr, ATSPI_Collection_MATCH_NONE, roles, ATSPI_Collection_MATCH_ANY, nullptr,
            ATSPI_Collection_MATCH_NONE, FALSE));
        g_array_free(roles, TRUE);
        if (budget.arm()) {
            GError* raw = nullptr;
            GArray* matched = atspi_collection_get_matches(
                collection.get(), rule.get(), ATSPI_Collection_SORT_ORDER_CANONICAL, 0, TRUE, &raw);
            GErrorOwned error(raw);
            if (matched) {
                Accessible found;
                for (guint i = 0; i < matched->len; ++i) {
                    auto match = Accessible::adopt(g_array_index(matched, AtspiAccessible*, i));
                    if (!found && match && matches(match.get()))
                        found = std::move(match);
                }
                g_array_free(matched, TRUE);
                return found;
            }
        }
    }
    if (!descendants)
        descendants.emplace(root, budget);
    for (std::size_t index = 0;; ++index) {
        const auto descendant = descendants->at(index);
        if (!descendant)
            return {};
        const auto [candidate, candidateRole] = *descendant;
        if (candidateRole == role && (state == ATSPI_STATE_INVALID || hasState(candidate, state)) && matches(candidate))
            return Accessible::borrow(candidate);
    }
}

} // namespace

AtspiAttributeReader::AtspiAttributeReader(
    AtspiSession& session, AtspiAccessible* accessible, const AtspiBudget& budget, AtspiSpinArrow arrow)
    : session_(session)
    , accessible_(accessible)
    , budget_(budget)
    , arrow_(arrow)
{
}

tl::expected<AtspiRole, AXError> AtspiAttributeReader::role()
{
    if (!role_) {
        if (auto known = session_.roleOfLastHit(accessible_)) {
            role_ = *known;
        } else if (!budget_.arm()) {
            role_ = tl::unexpected(AXError::cannotComplete);
        } else {
            GError* raw = nullptr;
            const auto role = atspi_accessible_get_role(accessible_, &raw);
            GErrorOwned error(raw);
            if (error || role == ATSPI_ROLE_INVALID)
                role_ = tl::unexpected(budget_.failure(AXError::invalidUIElement));
            else
                role_ = role;
        }
    }
    return *role_;
}

const AtspiRoleFacts& AtspiAttributeReader::facts()
{
    if (facts_)
        return *facts_;
    facts_.emplace();
    auto& facts = *facts_;
    facts.role = role().value_or(ATSPI_ROLE_INVALID);
    const auto needs = roleNeeds(session_.toolkit(accessible_, budget_), facts.role);
    if (needs.name && budget_.arm())
        facts.name = nameOf(accessible_);
    using Parent = AtspiRoleNeeds::Parent;
    const bool parent = needs.parent == Parent::yes
        || (needs.parent == Parent::ofWindowButtonNames && !headerBarButtonSubrole(facts.name).empty());
    if (parent && budget_.arm()) {
        auto parentAccessible = Accessible::adopt(atspi_accessible_get_parent(accessible_, nullptr));
        if (parentAccessible) {
            facts.parentRole = atspi_accessible_get_role(parentAccessible.get(), nullptr);
            facts.parentIsApplication = facts.parentRole == ATSPI_ROLE_APPLICATION;
            AtspiRole* above[] = { &facts.grandparentRole, &facts.greatGrandparentRole };
            auto ancestor = std::move(parentAccessible);
            for (int level = 0; level < needs.ancestors && ancestor && budget_.arm(); ++level) {
                ancestor = Accessible::adopt(atspi_accessible_get_parent(ancestor.get(), nullptr));
                if (ancestor)
                    *above[level] = atspi_accessible_get_role(ancestor.get(), nullptr);
            }
        }
    }
    if (needs.states && budget_.arm())
        facts.states = stateBits(accessible_);
    if (needs.windowType && budget_.arm())
        facts.windowType = AtspiSession::windowType(accessible_);
    if (needs.actions && budget_.arm())
        facts.actions = actionsOf(accessible_);
    if (needs.children) {
        for (const auto& child : childrenOf(accessible_, budget_)) {
            const auto childRole = atspi_accessible_get_role(child.get(), nullptr);
            facts.ownsMenu |= childRole == ATSPI_ROLE_MENU || childRole == ATSPI_ROLE_POPUP_MENU;
            facts.ownsEditableText |= childRole == ATSPI_ROLE_TEXT || childRole == ATSPI_ROLE_ENTRY;
        }
    }
    return facts;
}

tl::expected<AXRoles, AXError> AtspiAttributeReader::roles()
{
    if (auto known = role(); !known)
        return tl::unexpected(known.error());
    return axRoles(session_.toolkit(accessible_, budget_), facts());
}

bool AtspiAttributeReader::isWindow()
{
    const auto known = roles();
    return known && known->role == "AXWindow";
}

AXAttributeResult AtspiAttributeReader::read(const std::string& attribute)
{
    if (AtspiSession::isGone(accessible_))
        return tl::unexpected(AXError::invalidUIElement);
    if (arrow_ != AtspiSpinArrow::none)
        return readArrow(attribute);
    static const std::map<std::string, std::function<AXAttributeResult(AtspiAttributeReader&)>> readers {
        { "AXRole",
            [](AtspiAttributeReader& r) -> AXAttributeResult {
                return r.roles().map([](const AXRoles& roles) { return AXValue::text(roles.role); });
            } },
        { "AXSubrole",
            [](AtspiAttributeReader& r) -> AXAttributeResult {
                auto roles = r.roles();
                if (!roles)
                    return tl::unexpected(roles.error());
                if (roles->subrole.empty())
                    return tl::unexpected(AXError::noValue);
                return AXValue::text(roles->subrole);
            } },
        { "AXRoleDescription",
            [](AtspiAttributeReader& r) {
                return r.budget_.arm() ? r.text(GOwned<char>(atspi_accessible_get_localized_role_name(r.accessible_, nullptr)))
                                       : tl::unexpected(AXError::cannotComplete);
            } },
        { "AXTitle",
            [](AtspiAttributeReader& r) -> AXAttributeResult {
                // A help tag's words are its description: a titled window is no help tag.
                if (r.role() == ATSPI_ROLE_TOOL_TIP)
                    return AXValue::text("");
                return r.budget_.arm() ? r.text(GOwned<char>(atspi_accessible_get_name(r.accessible_, nullptr)))
                                       : tl::unexpected(AXError::cannotComplete);
            } },
        { "AXDescription",
            [](AtspiAttributeReader& r) -> AXAttributeResult {
                if (!r.budget_.arm())
                    return tl::unexpected(AXError::cannotComplete);
                if (r.role() == ATSPI_ROLE_TOOL_TIP)
                    return r.text(GOwned<char>(atspi_accessible_get_name(r.accessible_, nullptr)));
                return r.text(GOwned<char>(atspi_accessible_get_description(r.accessible_, nullptr)));
            } },
        { "AXHelp",
            [](AtspiAttributeReader& r) {
                return r.budget_.arm() ? r.text(GOwned<char>(atspi_accessible_get_description(r.accessible_, nullptr)))
                                       : tl::unexpected(AXError::cannotComplete);
            } },
        { "AXIdentifier",
            [](AtspiAttributeReader& r) {
                return r.budget_.arm() ? r.text(GOwned<char>(atspi_accessible_get_accessible_id(r.accessible_, nullptr)))
                                       : tl::unexpected(AXError::cannotComplete);
            } },
        { "AXValue", [](AtspiAttributeReader& r) { return r.value(); } },
        { "AXParent",
            [](AtspiAttributeReader& r) -> AXAttributeResult {
                if (!r.budget_.arm())
                    return tl::unexpected(AXError::cannotComplete);
                auto parent = Accessible::adopt(atspi_accessible_get_parent(r.accessible_, nullptr));
                // The desktop is no element of any application.
                if (!parent || atspi_accessible_get_role(parent.get(), nullptr) == ATSPI_ROLE_DESKTOP_FRAME)
                    return tl::unexpected(r.budget_.failure(AXError::noValue));
                return r.element(parent.get());
            } },
        { "AXChildren", [](AtspiAttributeReader& r) { return r.children(false, false); } },
        { "AXVisibleChildren", [](AtspiAttributeReader& r) { return r.children(true, false); } },
        { "AXWindows", [](AtspiAttributeReader& r) { return r.children(false, true); } },
        { "AXWindow", [](AtspiAttributeReader& r) { return r.window(); } },
        { "AXFocusedWindow", [](AtspiAttributeReader& r) { return r.focusedWindow(); } },
        { "AXMainWindow", [](AtspiAttributeReader& r) { return r.focusedWindow(); } },
        { "AXPosition", [](AtspiAttributeReader& r) { return r.extents(true); } },
        { "AXSize", [](AtspiAttributeReader& r) { return r.extents(false); } },
        { "AXSelectedChildren", [](AtspiAttributeReader& r) { return r.selected(); } },
        { "AXSelectedRows", [](AtspiAttributeReader& r) { return r.selected(); } },
        { "AXSelectedCells", [](AtspiAttributeReader& r) { return r.selected(); } },
    };
    if (const auto found = readers.find(attribute); found != readers.end())
        return found->second(*this);
    static const std::vector<std::string> windowButtons { "AXDefaultButton", "AXCancelButton", "AXCloseButton",
        "AXMinimizeButton", "AXZoomButton", "AXFullScreenButton" };
    if (std::find(windowButtons.begin(), windowButtons.end(), attribute) != windowButtons.end())
        return windowButton(attribute);
    return tl::unexpected(AXError::attributeUnsupported);
}

const std::vector<std::string> arrowAttributes { "AXRole", "AXSubrole", "AXParent", "AXWindow", "AXPosition", "AXSize" };

AXAttributeResult AtspiAttributeReader::readArrow(const std::string& attribute)
{
    if (attribute == "AXRole")
        return AXValue::text("AXButton");
    if (attribute == "AXSubrole")
        return AXValue::text(arrow_ == AtspiSpinArrow::increment ? "AXIncrementArrow" : "AXDecrementArrow");
    if (attribute == "AXParent")
        return element(accessible_);
    if (attribute == "AXWindow")
        return window();
    if (attribute != "AXPosition" && attribute != "AXSize")
        return tl::unexpected(AXError::attributeUnsupported);
    const auto spin = frame();
    if (!spin)
        return tl::unexpected(spin.error());
    const auto arrow = spinArrowFrame(session_.toolkit(accessible_, budget_), *spin, arrow_);
    return attribute == "AXPosition" ? AXValue::point(arrow.origin) : AXValue::size(arrow.size);
}

tl::expected<std::vector<std::string>, AXError> AtspiAttributeReader::names()
{
    if (arrow_ != AtspiSpinArrow::none)
        return arrowAttributes;
    if (auto known = role(); !known)
        return tl::unexpected(known.error());
    std::vector<std::string> names { "AXRole", "AXSubrole", "AXRoleDescription", "AXTitle", "AXDescription", "AXHelp",
        "AXIdentifier", "AXValue", "AXParent", "AXChildren", "AXVisibleChildren", "AXWindow", "AXPosition", "AXSize",
        "AXSelectedChildren", "AXSelectedRows", "AXSelectedCells" };
    if (role() == ATSPI_ROLE_APPLICATION)
        names.insert(names.end(), { "AXWindows", "AXFocusedWindow", "AXMainWindow" });
    if (isWindow())
        names.insert(names.end(), { "AXDefaultButton", "AXCancelButton", "AXCloseButton", "AXMinimizeButton",
                                      "AXZoomButton", "AXFullScreenButton" });
    return names;
}

tl::expected<std::vector<std::string>, AXError> AtspiAttributeReader::actionNames()
{
    if (arrow_ != AtspiSpinArrow::none)
        return std::vector<std::string> {};
    if (!budget_.arm())
        return tl::unexpected(AXError::cannotComplete);
    static const std::map<std::string, std::string> axNames { { "click", "AXPress" }, { "press", "AXPress" },
        { "Press", "AXPress" }, { "activate", "AXPress" }, { "toggle", "AXPress" }, { "Toggle", "AXPress" },
        { "ShowMenu", "AXShowMenu" }, { "Increase", "AXIncrement" }, { "Decrease", "AXDecrement" } };
    std::vector<std::string> names;
    for (const auto& action : actionsOf(accessible_)) {
        const auto found = axNames.find(action);
        const auto& name = found == axNames.end() ? action : found->second;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

AXAttributeResult AtspiAttributeReader::text(GOwned<char> value)
{
    if (!value)
        return tl::unexpected(budget_.failure(AXError::noValue));
    return AXValue::text(value.get());
}

AXAttributeResult AtspiAttributeReader::element(AtspiAccessible* accessible)
{
    return AXValue::element(session_.element(accessible));
}

AXAttributeResult AtspiAttributeReader::children(bool visibleOnly, bool windowsOnly)
{
    if (windowsOnly && role() != ATSPI_ROLE_APPLICATION)
        return tl::unexpected(AXError::attributeUnsupported);
    if (!budget_.arm())
        return tl::unexpected(AXError::cannotComplete);
    AXValue::List list;
    for (const auto& child : childrenOf(accessible_, budget_)) {
        if (visibleOnly && !hasState(child.get(), ATSPI_STATE_SHOWING))
            continue;
        if (windowsOnly) {
            const auto childRole = atspi_accessible_get_role(child.get(), nullptr);
            if (!isWindowRole(childRole, childRole == ATSPI_ROLE_WINDOW ? AtspiSession::windowType(child.get()) : ""))
                continue;
        }
        list.push_back(AXValue::element(session_.element(child.get())));
    }
    if (budget_.isSpent())
        return tl::unexpected(AXError::cannotComplete);
    return AXValue::list(std::move(list));
}

AXAttributeResult AtspiAttributeReader::window()
{
    if (role() == ATSPI_ROLE_APPLICATION)
        return tl::unexpected(AXError::noValue);
    if (auto window = session_.topLevel(accessible_, budget_))
        return element(window.get());
    return tl::unexpected(budget_.failure(AXError::noValue));
}

AXAttributeResult AtspiAttributeReader::focusedWindow()
{
    if (role() != ATSPI_ROLE_APPLICATION)
        return tl::unexpected(AXError::attributeUnsupported);
    for (const auto& child : childrenOf(accessible_, budget_)) {
        if (budget_.arm() && hasState(child.get(), ATSPI_STATE_ACTIVE))
            return element(child.get());
    }
    return tl::unexpected(budget_.failure(AXError::noValue));
}

tl::expected<AXRect, AXError> AtspiAttributeReader::frame()
{
    if (!frame_) {
        if (auto known = session_.frameOfLastHit(accessible_))
            frame_ = *known;
        else
            frame_ = askFrame();
    }
    return *frame_;
}

tl::expected<AXRect, AXError> AtspiAttributeReader::askFrame()
{
    auto component = GObjectRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(accessible_));
    if (!component)
        return tl::unexpected(AXError::attributeUnsupported);
    if (!budget_.arm())
        return tl::unexpected(AXError::cannotComplete);
    const auto toolkit = session_.toolkit(accessible_, budget_);
    GError* raw = nullptr;
    GOwned<AtspiRect> rect(atspi_component_get_extents(component.get(), extentsCoordinates(toolkit), &raw));
    GErrorOwned error(raw);
    if (error || !rect)
        return tl::unexpected(budget_.failure(AXError::noValue));
    const auto origin = surfaceOriginOf(session_, accessible_, budget_);
    if (!origin)
        return tl::unexpected(budget_.failure(AXError::noValue));
    return AXRect { { origin->x + rect->x, origin->y + rect->y }, { double(rect->width), double(rect->height) } };
}

AXAttributeResult AtspiAttributeReader::extents(bool position)
{
    const auto rect = frame();
    if (!rect)
        return tl::unexpected(rect.error());
    return position ? AXValue::point(rect->origin) : AXValue::size(rect->size);
}

AXAttributeResult AtspiAttributeReader::selected()
{
    auto selection = GObjectRef<AtspiSelection>::adopt(atspi_accessible_get_selection_iface(accessible_));
    if (!selection)
        return tl::unexpected(AXError::attributeUnsupported);
    if (!budget_.arm())
        return tl::unexpected(AXError::cannotComplete);
    const int count = atspi_selection_get_n_selected_children(selection.get(), nullptr);
    if (count < 0)
        return tl::unexpected(budget_.failure(AXError::noValue));
    AXValue::List list;
    for (int i = 0; i < count && budget_.arm(); ++i) {
        if (auto child = Accessible::adopt(atspi_selection_get_selected_child(selection.get(), i, nullptr)))
            list.push_back(AXValue::element(session_.element(child.get())));
    }
    if (budget_.isSpent())
        return tl::unexpected(AXError::cannotComplete);
    return AXValue::list(std::move(list));
}

AXAttributeResult AtspiAttributeReader::value()
{
    if (auto numeric = GObjectRef<AtspiValue>::adopt(atspi_accessible_get_value_iface(accessible_))) {
        if (!budget_.arm())
            return tl::unexpected(AXError::cannotComplete);
        GError* raw = nullptr;
        const double current = atspi_value_get_current_value(numeric.get(), &raw);
        GErrorOwned error(raw);
        if (error)
            return tl::unexpected(budget_.failure(AXError::noValue));
        return AXValue::real(current);
    }
    const auto known = roles();
    if (known && (known->role == "AXCheckBox" || known->role == "AXRadioButton")) {
        if (!budget_.arm())
            return tl::unexpected(AXError::cannotComplete);
        return AXValue::integer(hasState(accessible_, ATSPI_STATE_CHECKED) ? 1 : 0);
    }
    if (auto text = GObjectRef<AtspiText>::adopt(atspi_accessible_get_text_iface(accessible_))) {
        // Enough for a name; a document's whole text is never needed.
        constexpr int maximumCharacters = 1000;
        if (!budget_.arm())
            return tl::unexpected(AXError::cannotComplete);
        const int count = std::min(atspi_text_get_character_count(text.get(), nullptr), maximumCharacters);
        return this->text(GOwned<char>(atspi_text_get_text(text.get(), 0, std::max(count, 0), nullptr)));
    }
    return tl::unexpected(AXError::noValue);
}

AXAttributeResult AtspiAttributeReader::windowButton(const std::string& attribute)
{
    if (!isWindow())
        return tl::unexpected(budget_.failure(AXError::attributeUnsupported));
    Accessible found;
    if (attribute == "AXDefaultButton") {
        found = findButton(accessible_, ATSPI_STATE_IS_DEFAULT,
            [](AtspiAccessible*) { return true; }, budget_, descendants_);
    } else if (attribute == "AXCancelButton") {
        found = findButton(accessible_, ATSPI_STATE_INVALID,
            [](AtspiAccessible* button) { return isCancelName(nameOf(button)); }, budget_, descendants_);
    } else if (attribute != "AXFullScreenButton") {
        // Only client-side decorations are accessible; a window manager's title bar is not.
        found = findButton(accessible_, ATSPI_STATE_INVALID,
            [&](AtspiAccessible* button) {
                if (headerBarButtonSubrole(nameOf(button)) != attribute)
                    return false;
                auto parent = Accessible::adopt(atspi_accessible_get_parent(button, nullptr));
                return parent && atspi_accessible_get_role(parent.get(), nullptr) == ATSPI_ROLE_FILLER;
            },
            budget_, descendants_);
    }
    if (!found)
        return tl::unexpected(budget_.failure(AXError::noValue));
    return element(found.get());
}

} // namespace tintra
