#pragma once

#include "windowserver/SkyLightPrivateAPI.h"

namespace tintra {

class DesktopWindowsX11;
class ScreenCastsPipeWire;

// Linux has no SkyLight framework; what the desktop exposes answers instead.
// Over the X session's windows there is one space, 1, whose type is 4 (a
// full-screen space) while the active window is fullscreen, else 0. A screen
// watcher is present while the PipeWire graph carries a screen cast. Without
// the X session or PipeWire their questions fail quietly with
// frameworkUnavailable, and the silence probes use public facts only.
class SkyLightPrivateAPILinux final : public SkyLightPrivateAPI {
public:
    static constexpr std::int32_t fullScreenSpaceType = 4;

    // Both sources (kept by the caller, as SilenceFactsLinux does) may be null.
    explicit SkyLightPrivateAPILinux(const DesktopWindowsX11* desktop = nullptr, const ScreenCastsPipeWire* screenCasts = nullptr)
        : desktop_(desktop)
        , screenCasts_(screenCasts)
    {
    }

    tl::expected<bool, SkyLightPrivateAPIError> isScreenWatcherPresent() override;
    tl::expected<std::uint64_t, SkyLightPrivateAPIError> activeSpace() override;
    tl::expected<std::int32_t, SkyLightPrivateAPIError> spaceType(std::uint64_t space) override;

private:
    const DesktopWindowsX11* desktop_;
    const ScreenCastsPipeWire* screenCasts_;
};

} // namespace tintra
