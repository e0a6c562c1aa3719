#pragma once

#include <tl/expected.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace tintra {

struct SkyLightPrivateAPIError {
    enum class Case {
        frameworkUnavailable, // `text`: the dynamic loader's last message, when it gave one
        symbolUnavailable,    // `text`: the symbol with its leading underscore, "_SLSGetActiveSpace"
        callFailed,           // `text`: the call; `code`: the error it reported
        missingOutput,        // `text`: the call that returned without its result
    };
    Case kind;
    std::optional<std::string> text;
    std::int32_t code = 0;

    std::string description() const;
};

// The window server's private answers to two questions with no public
// interface: is something watching the screen, and what kind of space is
// active. Main thread only. Any operation may fail, for instance because the
// platform has no such framework; callers then answer from public facts alone.
class SkyLightPrivateAPI {
public:
    virtual ~SkyLightPrivateAPI() = default;

    // Screen sharing or a screen recording is watching the display.
    virtual tl::expected<bool, SkyLightPrivateAPIError> isScreenWatcherPresent() = 0;
    // The active space of the main connection; 0 when there is none.
    virtual tl::expected<std::uint64_t, SkyLightPrivateAPIError> activeSpace() = 0;
    // Any type other than 0 is a full-screen space.
    virtual tl::expected<std::int32_t, SkyLightPrivateAPIError> spaceType(std::uint64_t space) = 0;
};

} // namespace tintra
