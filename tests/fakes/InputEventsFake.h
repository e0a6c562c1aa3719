#pragma once

#include "input/InputEvents.h"

#include <map>
#include <set>
#include <vector>

namespace tintra {

// Global input in memory: the test plays the user's mouse and keyboard, and
// sees which monitors are installed. Installation can be refused per kind, as
// the platform does without permission to watch input.
class InputEventsFake final : public InputEvents {
public:
    enum class MouseButton { left, right, other };

    std::optional<InputMonitorToken> addGlobalMouseMonitor(MouseEventType type, MouseHandler handler) override;
    std::optional<InputMonitorToken> addGlobalKeyDownMonitor(KeyDownHandler handler) override;
    void removeMonitor(InputMonitorToken token) override;

    // Further installations of that kind fail.
    void refuse(MouseEventType type) { refusedMouse_.insert(type); }
    void refuseKeyDown() { refusesKeyDown_ = true; }

    // A left press reaches the left-down and any-down monitors; other buttons
    // only the any-down monitors. Drags and releases are the left button's.
    void mouseDown(Point location, MouseButton button = MouseButton::left);
    void mouseDragged(Point location);
    void mouseUp(Point location);
    void keyDown(KeyDownEvent event);

    // Installed monitors of one kind, and the mouse kinds in installation order.
    std::size_t installedCount(MouseEventType type) const;
    std::size_t installedKeyDownCount() const;
    std::size_t installedCount() const { return monitors_.size(); }
    std::vector<MouseEventType> installedMouseTypes() const;
    // Every installation asked for, refused or not.
    int installationRequests() const { return installationRequests_; }

private:
    struct Monitor {
        std::optional<MouseEventType> mouseType; // none: key down
        MouseHandler mouseHandler;
        KeyDownHandler keyDownHandler;
    };

    void deliver(MouseEventType type, Point location);

    // Calls each matching monitor installed now and still installed when its
    // turn comes: a handler may remove monitors, its own included.
    template <typename Matches, typename Call>
    void forEachMonitor(Matches matches, Call call)
    {
        std::vector<InputMonitorToken> tokens;
        for (const auto& [token, monitor] : monitors_) {
            if (matches(monitor))
                tokens.push_back(token);
        }
        for (auto token : tokens) {
            const auto found = monitors_.find(token);
            if (found == monitors_.end())
                continue;
            const Monitor monitor = found->second; // the handler may erase the original
            call(monitor);
        }
    }

    std::map<InputMonitorToken, Monitor> monitors_; // tokens grow, so this is installation order
    std::set<MouseEventType> refusedMouse_;
    bool refusesKeyDown_ = false;
    InputMonitorToken nextToken_ = 1;
    int installationRequests_ = 0;
};

} // namespace tintra
