#pragma once

#include "playback/ScreenGeometry.h"

#include <memory>

namespace tintra {

class RandrMonitors;
class XcbConnection;

// The XRandR monitors, the primary first, and the pointer, in root
// coordinates (origin top-left), followed through monitor changes. Without
// a display it says so once on standard error: no screens, the pointer at 0,0.
class ScreenGeometryX11 final : public ScreenGeometry {
public:
    ScreenGeometryX11();
    ~ScreenGeometryX11() override;
    ScreenGeometryX11(const ScreenGeometryX11&) = delete;
    ScreenGeometryX11& operator=(const ScreenGeometryX11&) = delete;

    std::vector<Rect> screenFrames() const override;
    Point pointerLocation() const override;

private:
    std::unique_ptr<XcbConnection> connection_;
    std::unique_ptr<RandrMonitors> monitors_;
};

} // namespace tintra
