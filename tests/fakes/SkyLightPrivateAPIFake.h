#pragma once

#include "windowserver/SkyLightPrivateAPI.h"

namespace tintra {

// The window server's private answers as the test sets them; counts the questions.
class SkyLightPrivateAPIFake final : public SkyLightPrivateAPI {
public:
    using Error = SkyLightPrivateAPIError;

    tl::expected<bool, Error> screenWatcherPresent = false;
    tl::expected<std::uint64_t, Error> space = 0;
    tl::expected<std::int32_t, Error> type = 0;

    int screenWatcherQuestions = 0;
    int spaceQuestions = 0;

    static tl::unexpected<Error> failure(Error::Case kind = Error::Case::frameworkUnavailable)
    {
        return tl::unexpected(Error { kind, std::nullopt });
    }

    tl::expected<bool, Error> isScreenWatcherPresent() override
    {
        ++screenWatcherQuestions;
        return screenWatcherPresent;
    }
    tl::expected<std::uint64_t, Error> activeSpace() override
    {
        ++spaceQuestions;
        return space;
    }
    tl::expected<std::int32_t, Error> spaceType(std::uint64_t) override { return type; }
};

} // namespace tintra
