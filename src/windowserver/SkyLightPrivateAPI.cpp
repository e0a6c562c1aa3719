#include "windowserver/SkyLightPrivateAPI.h"

#include <fmt/format.h>

namespace tintra {

std::string SkyLightPrivateAPIError::description() const
{
    const std::string detail = text.value_or("");
    switch (kind) {
    case Case::frameworkUnavailable:
        return detail.empty() ? "The SkyLight framework is not available."
                              : fmt::format("The SkyLight framework is not available: {}", detail);
    case Case::symbolUnavailable: return fmt::format("The SkyLight framework has no {}.", detail);
    case Case::callFailed: return fmt::format("{} failed with error {}.", detail, code);
    case Case::missingOutput: return fmt::format("{} returned no result.", detail);
    }
    return {};
}

} // namespace tintra
