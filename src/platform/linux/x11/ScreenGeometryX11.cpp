#include "platform/linux/x11/ScreenGeometryX11.h"

#include "platform/linux/x11/RandrMonitors.h"
#include "platform/linux/x11/XcbConnection.h"
#include "support/MainThread.h"

namespace tintra {

ScreenGeometryX11::ScreenGeometryX11()
    : connection_(XcbConnection::openOrReport("sounds are not placed where the pointer is"))
{
    if (connection_)
        monitors_ = std::make_unique<RandrMonitors>(*connection_);
}

ScreenGeometryX11::~ScreenGeometryX11() = default;

std::vector<Rect> ScreenGeometryX11::screenFrames() const
{
    TINTRA_ASSERT_MAIN_THREAD();
    std::vector<Rect> frames;
    if (monitors_) {
        for (const auto& monitor : monitors_->monitors())
            frames.push_back(monitor.bounds);
    }
    return frames;
}

Point ScreenGeometryX11::pointerLocation() const
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!connection_)
        return {};
    const auto pointer = connection_->queryPointer();
    return pointer ? pointer->location : Point {};
}

} // namespace tintra
