#pragma once

#include <xcb/xcb.h>

#include <sys/types.h>

#include <string>

namespace tintra {

// A top-level window of the test's own, on a connection of its own, as an
// application would make it: a title, _NET_WM_PID, mapped at once. The
// window manager frames and lists it; it goes with its connection. Given a
// pop-up's window type (_NET_WM_WINDOW_TYPE_TOOLTIP …), it is a pop-up of
// that type instead, which the window manager leaves alone (override-redirect).
class TestWindow {
public:
    TestWindow(const std::string& title, int x, int y, int width, int height, pid_t pid, const std::string& popUpType = {});
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    xcb_window_t id() const { return window_; }
    // The window manager reparented it into a frame of its own.
    bool isFramed() const;
    void setProperty(const std::string& name, const std::string& type, const std::string& atomValue);

private:
    xcb_atom_t atom(const std::string& name) const;

    xcb_connection_t* connection_;
    xcb_window_t window_;
};

} // namespace tintra
