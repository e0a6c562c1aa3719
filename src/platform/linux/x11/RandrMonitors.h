#pragma once

#include "platform/linux/Listeners.h"
#include "support/Geometry.h"

#include <string>
#include <vector>

namespace tintra {

class XcbConnection;

// One XRandR monitor: a rectangle of the root window that a screen shows.
struct Monitor {
    std::string name;
    Rect bounds;                       // root coordinates, origin top-left
    bool primary = false;
    std::vector<std::string> outputs;  // none for a monitor set without one
    // It shows the same picture as another output: one of its CRTC's several
    // outputs (a clone), or its bounds equal another monitor's.
    bool mirrored = false;

    bool operator==(const Monitor&) const = default;
};

// Marks the monitors that mirror: several outputs, or the same bounds as another.
void markMirrors(std::vector<Monitor>& monitors);

// The active monitors of the screen (RandR 1.5), the primary first, kept
// current from RandR's screen, CRTC and output notices and the root's
// ConfigureNotify. Main thread only.
// Without RandR the list is empty and stays so.
class RandrMonitors {
public:
    explicit RandrMonitors(XcbConnection& connection);
    RandrMonitors(const RandrMonitors&) = delete;
    RandrMonitors& operator=(const RandrMonitors&) = delete;

    const std::vector<Monitor>& monitors() const { return monitors_; }
    bool available() const { return available_; }

    // Told after the list changed.
    [[nodiscard]] Subscription onChanged(std::function<void()> listener);

private:
    void read();

    XcbConnection& connection_;
    bool available_ = false;
    std::uint8_t firstEvent_ = 0;
    std::vector<Monitor> monitors_;
    Listeners<> changed_;
    Subscription events_;
};

} // namespace tintra
