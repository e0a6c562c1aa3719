#include "platform/linux/SkyLightPrivateAPILinux.h"

namespace tintra {

namespace {

tl::unexpected<SkyLightPrivateAPIError> unavailable()
{
    return tl::unexpected(SkyLightPrivateAPIError { SkyLightPrivateAPIError::Case::frameworkUnavailable, std::nullopt });
}

} // namespace

tl::expected<bool, SkyLightPrivateAPIError> SkyLightPrivateAPILinux::isScreenWatcherPresent()
{
    return unavailable();
}

tl::expected<std::uint64_t, SkyLightPrivateAPIError> SkyLightPrivateAPILinux::activeSpace()
{
    return unavailable();
}

tl::expected<std::int32_t, SkyLightPrivateAPIError> SkyLightPrivateAPILinux::spaceType(std::uint64_t)
{
    return unavailable();
}

} // namespace tintra
