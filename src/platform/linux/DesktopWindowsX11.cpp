#include "platform/linux/DesktopWindowsX11.h"

#include "platform/linux/files/DesktopEntries.h"

#include <algorithm>
#include <iostream>

namespace tintra {

namespace {

// The window server's layers for each kind of window.
constexpr std::int64_t kDesktopLayer = -2147483623;
constexpr std::int64_t kFloatingLayer = 3;
constexpr std::int64_t kDockLayer = 20;
constexpr std::int64_t kStatusLayer = 25;
constexpr std::int64_t kPopUpMenuLayer = 101;
constexpr std::int64_t kHelpLayer = 200;

tl::unexpected<SilenceFactError> unavailable(const char* operation)
{
    return tl::unexpected(SilenceFactError { SilenceFactError::Case::serviceUnavailable, operation });
}

} // namespace

std::int64_t windowLayer(const WindowInfo& window)
{
    if (window.fullscreen)
        return kScreenSaverWindowLevel;
    switch (window.type) {
    case WindowType::desktop: return kDesktopLayer;
    case WindowType::dock: return kDockLayer;
    case WindowType::notification: return kStatusLayer;
    case WindowType::menu:
    case WindowType::dropdownMenu:
    case WindowType::popupMenu:
    case WindowType::combo: return kPopUpMenuLayer;
    case WindowType::tooltip:
    case WindowType::dnd: return kHelpLayer;
    default: return window.above ? kFloatingLayer : 0;
    }
}

PropertyList::Array windowListEntries(const std::vector<WindowInfo>& bottomFirst)
{
    PropertyList::Array entries;
    entries.reserve(bottomFirst.size());
    for (auto window = bottomFirst.rbegin(); window != bottomFirst.rend(); ++window) {
        if (window->hidden)
            continue;
        entries.emplace_back(PropertyList::Dictionary {
            { "kCGWindowOwnerPID", std::int64_t(window->pid.value_or(0)) },
            { "kCGWindowLayer", windowLayer(*window) },
            { "kCGWindowBounds", PropertyList::Dictionary {
                { "X", window->frame.x },
                { "Y", window->frame.y },
                { "Width", window->frame.width },
                { "Height", window->frame.height },
            } },
            { "kCGWindowAlpha", window->opacity.value_or(1.0) },
            { "kCGWindowNumber", std::int64_t(window->window) },
        });
    }
    return entries;
}

DesktopWindowsX11::DesktopWindowsX11()
{
    auto connection = XcbConnection::open();
    if (!connection) {
        std::cerr << "Tintra Dorvel: no X display (" << connection.error()
                  << "): fullscreen windows, games in front and mirrored displays are not seen." << std::endl;
        return;
    }
    connection_ = std::move(*connection);
    windows_ = std::make_unique<WindowFacts>(*connection_);
    monitors_ = std::make_unique<RandrMonitors>(*connection_);
    activeChanged_ = windows_->onActiveWindowChanged([this](std::optional<xcb_window_t>) { findFrontmost(); });
    // A new window may be made active before the client list that describes it arrives.
    clientListChanged_ = windows_->onClientListChanged([this] { findFrontmost(); });
    findFrontmost();
}

DesktopWindowsX11::~DesktopWindowsX11() = default;

// The desktop entry is looked up once per process, when its window comes to
// the front, and forgotten when the process has no window left, so that a
// process identifier used again is looked up again.
void DesktopWindowsX11::findFrontmost()
{
    frontmost_.reset();
    std::erase_if(entries_, [&](const auto& entry) {
        return std::ranges::none_of(windows_->windows(), [&](const WindowInfo& window) { return window.pid == entry.first; });
    });
    const auto active = windows_->activeWindow();
    const auto window = active ? windows_->window(*active) : std::nullopt;
    if (!window || !window->pid)
        return;
    const pid_t pid = *window->pid;
    auto entry = entries_.find(pid);
    if (entry == entries_.end())
        entry = entries_.emplace(pid, desktopEntryOfProcess(pid)).first;
    frontmost_ = FrontmostApplication { std::int32_t(pid), entry->second };
}

std::optional<bool> DesktopWindowsX11::activeWindowIsFullscreen() const
{
    if (!windows_)
        return std::nullopt;
    const auto active = windows_->activeWindow();
    const auto window = active ? windows_->window(*active) : std::nullopt;
    return window && window->fullscreen && !window->hidden;
}

const Monitor* DesktopWindowsX11::monitor(DisplayID display) const
{
    if (!monitors_ || display == 0 || display > monitors_->monitors().size())
        return nullptr;
    return &monitors_->monitors()[display - 1];
}

SilenceFact<std::vector<DisplayID>> DesktopWindowsX11::activeDisplays() const
{
    if (!monitors_ || !monitors_->available())
        return unavailable("activeDisplays");
    std::vector<DisplayID> displays(monitors_->monitors().size());
    for (std::size_t index = 0; index < displays.size(); ++index)
        displays[index] = DisplayID(index + 1);
    return displays;
}

SilenceFact<Rect> DesktopWindowsX11::displayBounds(DisplayID display) const
{
    const auto* found = monitor(display);
    if (!found)
        return unavailable("displayBounds");
    return found->bounds;
}

SilenceFact<bool> DesktopWindowsX11::isInMirrorSet(DisplayID display) const
{
    const auto* found = monitor(display);
    if (!found)
        return unavailable("isInMirrorSet");
    return found->mirrored;
}

SilenceFact<PropertyList::Array> DesktopWindowsX11::onScreenWindowList() const
{
    if (!windows_)
        return unavailable("onScreenWindowList");
    return windowListEntries(windows_->windows());
}

} // namespace tintra
