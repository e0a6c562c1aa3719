#include "InputEventsFake.h"

#include <algorithm>

namespace tintra {

std::optional<InputMonitorToken> InputEventsFake::addGlobalMouseMonitor(MouseEventType type, MouseHandler handler)
{
    ++installationRequests_;
    if (refusedMouse_.contains(type))
        return std::nullopt;
    const auto token = nextToken_++;
    monitors_.emplace(token, Monitor { type, std::move(handler), {} });
    return token;
}

std::optional<InputMonitorToken> InputEventsFake::addGlobalKeyDownMonitor(KeyDownHandler handler)
{
    ++installationRequests_;
    if (refusesKeyDown_)
        return std::nullopt;
    const auto token = nextToken_++;
    monitors_.emplace(token, Monitor { std::nullopt, {}, std::move(handler) });
    return token;
}

void InputEventsFake::removeMonitor(InputMonitorToken token)
{
    monitors_.erase(token);
}

void InputEventsFake::mouseDown(Point location, MouseButton button)
{
    if (button == MouseButton::left)
        deliver(MouseEventType::leftMouseDown, location);
    deliver(MouseEventType::anyMouseDown, location);
}

void InputEventsFake::mouseDragged(Point location)
{
    deliver(MouseEventType::leftMouseDragged, location);
}

void InputEventsFake::mouseUp(Point location)
{
    deliver(MouseEventType::leftMouseUp, location);
}

void InputEventsFake::deliver(MouseEventType type, Point location)
{
    forEachMonitor([type](const Monitor& monitor) { return monitor.mouseType == type; },
        [&](const Monitor& monitor) { monitor.mouseHandler(MouseEvent { type, location }); });
}

void InputEventsFake::keyDown(KeyDownEvent event)
{
    forEachMonitor([](const Monitor& monitor) { return !monitor.mouseType; },
        [&](const Monitor& monitor) { monitor.keyDownHandler(event); });
}

std::size_t InputEventsFake::installedCount(MouseEventType type) const
{
    return std::count_if(monitors_.begin(), monitors_.end(), [type](const auto& entry) { return entry.second.mouseType == type; });
}

std::size_t InputEventsFake::installedKeyDownCount() const
{
    return std::count_if(monitors_.begin(), monitors_.end(), [](const auto& entry) { return !entry.second.mouseType; });
}

std::vector<MouseEventType> InputEventsFake::installedMouseTypes() const
{
    std::vector<MouseEventType> types;
    for (const auto& [token, monitor] : monitors_) {
        if (monitor.mouseType)
            types.push_back(*monitor.mouseType);
    }
    return types;
}

} // namespace tintra
