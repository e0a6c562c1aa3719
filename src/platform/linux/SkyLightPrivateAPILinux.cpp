#include "platform/linux/SkyLightPrivateAPILinux.h"

#include "platform/linux/DesktopWindowsX11.h"
#include "platform/linux/pipewire/ScreenCastsPipeWire.h"

namespace tintra {

namespace {

tl::unexpected<SkyLightPrivateAPIError> unavailable()
{
    return tl::unexpected(SkyLightPrivateAPIError { SkyLightPrivateAPIError::Case::frameworkUnavailable, std::nullopt });
}

} // namespace

tl::expected<bool, SkyLightPrivateAPIError> SkyLightPrivateAPILinux::isScreenWatcherPresent()
{
    const auto cast = screenCasts_ ? screenCasts_->isScreenCast() : std::nullopt;
    if (!cast)
        return unavailable();
    return *cast;
}

tl::expected<std::uint64_t, SkyLightPrivateAPIError> SkyLightPrivateAPILinux::activeSpace()
{
    if (!desktop_ || !desktop_->activeWindowIsFullscreen().has_value())
        return unavailable();
    return 1;
}

tl::expected<std::int32_t, SkyLightPrivateAPIError> SkyLightPrivateAPILinux::spaceType(std::uint64_t space)
{
    const auto fullscreen = desktop_ ? desktop_->activeWindowIsFullscreen() : std::nullopt;
    if (!fullscreen)
        return unavailable();
    if (space != 1)
        return tl::unexpected(SkyLightPrivateAPIError { SkyLightPrivateAPIError::Case::callFailed, "SLSSpaceGetType", 1000 });
    return *fullscreen ? fullScreenSpaceType : 0;
}

} // namespace tintra
