#pragma once

#include "support/MainExecutor.h"
#include "support/WeakSelf.h"

#include <glib.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>

namespace tintra {

// Whether some program is casting the screen, from the video streams of the
// PipeWire graph: GNOME, KDE and the desktop portals all hand a screen cast or
// a remote-desktop session to its viewer as a PipeWire video stream. A stream
// that a program sends out ("Stream/Output/Video"), or a video source that is
// no capture device and no camera, counts as a cast. Screen grabs straight
// from the X server (x11vnc, an X11 recorder) leave no trace here.
//
// The graph's registry is followed on GLib's default main context, so reading
// never waits. Without a PipeWire server the answer is none; that is said once
// on standard error, and a new connection is tried after five seconds, then
// after twice as long each time, up to a minute: a session without PipeWire
// is not woken every few seconds for nothing.
// Main thread only.
class ScreenCastsPipeWire {
public:
    explicit ScreenCastsPipeWire(MainExecutor& main);
    ~ScreenCastsPipeWire();
    ScreenCastsPipeWire(const ScreenCastsPipeWire&) = delete;
    ScreenCastsPipeWire& operator=(const ScreenCastsPipeWire&) = delete;

    std::optional<bool> isScreenCast() const;

    static constexpr Duration firstReconnectDelay = seconds(5);
    static constexpr Duration longestReconnectDelay = seconds(60);

private:
    struct Connection;
    struct Callbacks;

    void connect();
    void lost(const char* what);

    MainExecutor& main_;
    std::unique_ptr<Connection> connection_;
    std::set<std::uint32_t> casts_;
    bool synced_ = false;
    bool lossReported_ = false;
    Duration reconnectDelay_ = firstReconnectDelay;
    ScheduledWork reconnect_;
    WeakSelf<ScreenCastsPipeWire> self_ { *this };
};

} // namespace tintra
