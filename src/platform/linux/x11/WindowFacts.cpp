#include "platform/linux/x11/WindowFacts.h"

#include "platform/linux/x11/WindowProperty.h"
#include "platform/linux/x11/XcbConnection.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>
#include <utility>

namespace tintra {

namespace {

constexpr std::array windowTypes {
    std::pair { "_NET_WM_WINDOW_TYPE_NORMAL", WindowType::normal },
    std::pair { "_NET_WM_WINDOW_TYPE_DIALOG", WindowType::dialog },
    std::pair { "_NET_WM_WINDOW_TYPE_UTILITY", WindowType::utility },
    std::pair { "_NET_WM_WINDOW_TYPE_TOOLBAR", WindowType::toolbar },
    std::pair { "_NET_WM_WINDOW_TYPE_MENU", WindowType::menu },
    std::pair { "_NET_WM_WINDOW_TYPE_SPLASH", WindowType::splash },
    std::pair { "_NET_WM_WINDOW_TYPE_DOCK", WindowType::dock },
    std::pair { "_NET_WM_WINDOW_TYPE_DESKTOP", WindowType::desktop },
    std::pair { "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", WindowType::dropdownMenu },
    std::pair { "_NET_WM_WINDOW_TYPE_POPUP_MENU", WindowType::popupMenu },
    std::pair { "_NET_WM_WINDOW_TYPE_TOOLTIP", WindowType::tooltip },
    std::pair { "_NET_WM_WINDOW_TYPE_NOTIFICATION", WindowType::notification },
    std::pair { "_NET_WM_WINDOW_TYPE_COMBO", WindowType::combo },
    std::pair { "_NET_WM_WINDOW_TYPE_DND", WindowType::dnd },
};

std::optional<pid_t> processOf(WindowProperty& pid)
{
    const auto id = pid.value();
    if (id && *id > 0 && *id <= static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max()))
        return static_cast<pid_t>(*id);
    return std::nullopt;
}

constexpr std::uint32_t clientEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;

} // namespace

struct WindowFacts::Atoms {
    explicit Atoms(XcbConnection& connection)
        : clientListStacking(connection.atom("_NET_CLIENT_LIST_STACKING"))
        , clientList(connection.atom("_NET_CLIENT_LIST"))
        , activeWindow(connection.atom("_NET_ACTIVE_WINDOW"))
        , pid(connection.atom("_NET_WM_PID"))
        , state(connection.atom("_NET_WM_STATE"))
        , hidden(connection.atom("_NET_WM_STATE_HIDDEN"))
        , fullscreen(connection.atom("_NET_WM_STATE_FULLSCREEN"))
        , above(connection.atom("_NET_WM_STATE_ABOVE"))
        , maximizedVertically(connection.atom("_NET_WM_STATE_MAXIMIZED_VERT"))
        , maximizedHorizontally(connection.atom("_NET_WM_STATE_MAXIMIZED_HORZ"))
        , type(connection.atom("_NET_WM_WINDOW_TYPE"))
        , opacity(connection.atom("_NET_WM_WINDOW_OPACITY"))
        , name(connection.atom("_NET_WM_NAME"))
        , utf8String(connection.atom("UTF8_STRING"))
        , gtkApplicationID(connection.atom("_GTK_APPLICATION_ID"))
        , kdeDesktopFile(connection.atom("_KDE_NET_WM_DESKTOP_FILE"))
    {
        for (std::size_t i = 0; i < windowTypes.size(); ++i)
            types[i] = connection.atom(windowTypes[i].first);
    }

    WindowType typeOf(const std::vector<std::uint32_t>& named) const
    {
        if (named.empty())
            return WindowType::normal;
        for (const auto atom : named) {
            if (const auto* found = std::find(types.begin(), types.end(), atom); found != types.end())
                return windowTypes[static_cast<std::size_t>(found - types.begin())].second;
        }
        return WindowType::unknown;
    }

    bool describesWindow(xcb_atom_t property) const
    {
        return property == pid || property == state || property == type || property == opacity
            || property == name || property == XCB_ATOM_WM_NAME;
    }

    xcb_atom_t clientListStacking, clientList, activeWindow, pid, state, hidden, fullscreen, above,
        maximizedVertically, maximizedHorizontally, type, opacity, name, utf8String, gtkApplicationID, kdeDesktopFile;
    std::array<xcb_atom_t, windowTypes.size()> types {};
};

WindowFacts::WindowFacts(XcbConnection& connection)
    : connection_(connection)
    , atoms_(std::make_unique<Atoms>(connection))
{
    events_ = connection_.onEvent([this](const xcb_generic_event_t& event) { handle(event); });
    // The root's children are the managed windows' frames and the pop-ups.
    connection_.selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    readClientList();
    readActiveWindow();
}

WindowFacts::~WindowFacts() = default;

std::optional<WindowInfo> WindowFacts::window(xcb_window_t window) const
{
    const auto found = std::find_if(windows_.begin(), windows_.end(), [&](const auto& info) { return info.window == window; });
    if (found == windows_.end())
        return std::nullopt;
    return *found;
}

std::optional<WindowInfo> WindowFacts::windowAt(Point point) const
{
    const auto found = std::find_if(windows_.rbegin(), windows_.rend(),
        [&](const auto& info) { return !info.hidden && info.frame.contains(point); });
    if (found == windows_.rend())
        return std::nullopt;
    return *found;
}

Subscription WindowFacts::onClientListChanged(std::function<void()> listener)
{
    return clientListChanged_.subscribe(std::move(listener));
}

Subscription WindowFacts::onActiveWindowChanged(std::function<void(std::optional<xcb_window_t>)> listener)
{
    return activeWindowChanged_.subscribe(std::move(listener));
}

Subscription WindowFacts::onWindowChanged(std::function<void(const WindowInfo&, const WindowInfo&)> listener)
{
    return windowChanged_.subscribe(std::move(listener));
}

Subscription WindowFacts::onPopUp(std::function<void(const PopUpWindow&, bool shown)> listener)
{
    return popUp_.subscribe(std::move(listener));
}

void WindowFacts::handle(const xcb_generic_event_t& event)
{
    switch (event.response_type & 0x7f) {
    case XCB_PROPERTY_NOTIFY: {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window == connection_.root()) {
            if (notify.atom == atoms_->clientListStacking || notify.atom == atoms_->clientList)
                readClientList();
            else if (notify.atom == atoms_->activeWindow)
                readActiveWindow();
        } else if (atoms_->describesWindow(notify.atom)) {
            reread(notify.window);
        }
        break;
    }
    case XCB_MAP_NOTIFY: {
        const auto& notify = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        if (notify.event == connection_.root() && notify.override_redirect)
            popUpMapped(notify);
        break;
    }
    case XCB_UNMAP_NOTIFY:
        popUpUnmapped(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
        break;
    case XCB_DESTROY_NOTIFY:
        popUpUnmapped(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
        break;
    case XCB_CONFIGURE_NOTIFY:
        // The client's own notice, real (resized, frame-relative) or synthetic
        // (moved, in root coordinates): either way its root position is asked.
        reread(reinterpret_cast<const xcb_configure_notify_event_t&>(event).window);
        break;
    default:
        break;
    }
}

void WindowFacts::readClientList()
{
    auto* connection = connection_.get();
    auto stacking = WindowProperty(connection, connection_.root(), atoms_->clientListStacking, XCB_ATOM_WINDOW, 65536).values();
    if (stacking.empty())
        stacking = WindowProperty(connection, connection_.root(), atoms_->clientList, XCB_ATOM_WINDOW, 65536).values();

    std::vector<xcb_window_t> added;
    for (const auto id : stacking) {
        if (!window(id)) {
            // Selected before reading, so no change falls between the two.
            xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &clientEvents);
            added.push_back(id);
        }
    }
    auto fresh = read(added);

    std::vector<WindowInfo> next;
    next.reserve(stacking.size());
    for (const auto id : stacking) {
        if (auto known = window(id))
            next.push_back(std::move(*known));
        else if (auto found = std::find_if(fresh.begin(), fresh.end(), [&](const auto& info) { return info.window == id; });
                 found != fresh.end())
            next.push_back(std::move(*found));
    }
    const bool changed = next.size() != windows_.size()
        || !std::equal(next.begin(), next.end(), windows_.begin(), [](const auto& a, const auto& b) { return a.window == b.window; });
    windows_ = std::move(next);
    if (changed)
        clientListChanged_.tell();
}

void WindowFacts::readActiveWindow()
{
    const auto id = WindowProperty(connection_.get(), connection_.root(), atoms_->activeWindow, XCB_ATOM_WINDOW).value();
    const std::optional<xcb_window_t> active = id && *id != XCB_NONE ? id : std::nullopt;
    if (active == active_)
        return;
    active_ = active;
    activeWindowChanged_.tell(active_);
}

void WindowFacts::reread(xcb_window_t id)
{
    const auto known = std::find_if(windows_.begin(), windows_.end(), [&](const auto& info) { return info.window == id; });
    if (known == windows_.end())
        return;
    auto fresh = read({ id });
    // Gone: the client list that follows drops it.
    if (fresh.empty() || fresh.front() == *known)
        return;
    const WindowInfo before = std::exchange(*known, std::move(fresh.front()));
    windowChanged_.tell(before, *known);
}

void WindowFacts::popUpMapped(const xcb_map_notify_event_t& notify)
{
    auto* connection = connection_.get();
    WindowProperty pid(connection, notify.window, atoms_->pid, XCB_ATOM_CARDINAL);
    WindowProperty type(connection, notify.window, atoms_->type, XCB_ATOM_ATOM);
    const PopUpWindow popUp { notify.window, processOf(pid), atoms_->typeOf(type.values()) };
    popUpUnmapped(notify.window);
    popUps_.push_back(popUp);
    popUp_.tell(popUp, true);
}

void WindowFacts::popUpUnmapped(xcb_window_t window)
{
    const auto shown = std::find_if(popUps_.begin(), popUps_.end(), [&](const auto& popUp) { return popUp.window == window; });
    if (shown == popUps_.end())
        return;
    const auto popUp = *shown;
    popUps_.erase(shown);
    popUp_.tell(popUp, false);
}

std::vector<WindowInfo> WindowFacts::read(const std::vector<xcb_window_t>& ids) const
{
    auto* connection = connection_.get();
    struct Asked {
        xcb_window_t window;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t origin;
        WindowProperty pid, state, type, opacity, name, legacyName, gtkApplicationID, kdeDesktopFile, windowClass;
    };
    std::vector<Asked> asked;
    asked.reserve(ids.size());
    for (const auto id : ids) {
        asked.push_back(Asked {
            id,
            xcb_get_geometry(connection, id),
            xcb_translate_coordinates(connection, id, connection_.root(), 0, 0),
            WindowProperty(connection, id, atoms_->pid, XCB_ATOM_CARDINAL),
            WindowProperty(connection, id, atoms_->state, XCB_ATOM_ATOM),
            WindowProperty(connection, id, atoms_->type, XCB_ATOM_ATOM),
            WindowProperty(connection, id, atoms_->opacity, XCB_ATOM_CARDINAL),
            WindowProperty(connection, id, atoms_->name, atoms_->utf8String),
            WindowProperty(connection, id, XCB_ATOM_WM_NAME, XCB_ATOM_ANY),
            WindowProperty(connection, id, atoms_->gtkApplicationID, atoms_->utf8String),
            WindowProperty(connection, id, atoms_->kdeDesktopFile, XCB_ATOM_ANY),
            WindowProperty(connection, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING),
        });
    }

    std::vector<WindowInfo> infos;
    infos.reserve(asked.size());
    for (auto& one : asked) {
        const auto geometry = xcbReply(connection, one.geometry, &xcb_get_geometry_reply);
        const auto origin = xcbReply(connection, one.origin, &xcb_translate_coordinates_reply);
        if (!geometry || !origin)
            continue;
        WindowInfo info;
        info.window = one.window;
        info.pid = processOf(one.pid);
        info.frame = Rect { double(origin->dst_x), double(origin->dst_y), double(geometry->width), double(geometry->height) };
        const auto state = one.state.values();
        const auto holds = [&](xcb_atom_t atom) { return std::find(state.begin(), state.end(), atom) != state.end(); };
        info.hidden = holds(atoms_->hidden);
        info.fullscreen = holds(atoms_->fullscreen);
        info.above = holds(atoms_->above);
        info.maximized = holds(atoms_->maximizedVertically) && holds(atoms_->maximizedHorizontally);
        info.type = atoms_->typeOf(one.type.values());
        if (const auto opacity = one.opacity.value())
            info.opacity = double(*opacity) / double(std::numeric_limits<std::uint32_t>::max());
        info.title = one.name.text().value_or(one.legacyName.text().value_or(std::string()));
        info.applicationID = one.gtkApplicationID.text().value_or(one.kdeDesktopFile.text().value_or(std::string()));
        if (const auto names = one.windowClass.texts(); names.size() >= 2)
            info.windowClass = names[1];
        infos.push_back(std::move(info));
    }
    return infos;
}

} // namespace tintra
