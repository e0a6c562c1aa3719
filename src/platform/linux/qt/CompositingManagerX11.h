#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace tintra {

// Whether a compositing manager runs on the X screen: the owner of the
// _NET_WM_CM_S<screen> selection. Without one, a transparent window shows
// black. Opens its own connection to $DISPLAY; with none, nothing composites.
class CompositingManagerX11 {
public:
    CompositingManagerX11();
    ~CompositingManagerX11();
    CompositingManagerX11(const CompositingManagerX11&) = delete;
    CompositingManagerX11& operator=(const CompositingManagerX11&) = delete;

    // Asks the server now (one round trip), so a manager that started or
    // stopped since the last question is seen.
    bool isRunning() const;

private:
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t selection_ = 0;
};

} // namespace tintra
