#pragma once

#include "windowserver/SkyLightPrivateAPI.h"

namespace tintra {

// Linux has no SkyLight framework to load: every question fails with
// frameworkUnavailable, quietly, and the silence probes use public facts only.
class SkyLightPrivateAPILinux final : public SkyLightPrivateAPI {
public:
    tl::expected<bool, SkyLightPrivateAPIError> isScreenWatcherPresent() override;
    tl::expected<std::uint64_t, SkyLightPrivateAPIError> activeSpace() override;
    tl::expected<std::int32_t, SkyLightPrivateAPIError> spaceType(std::uint64_t space) override;
};

} // namespace tintra
