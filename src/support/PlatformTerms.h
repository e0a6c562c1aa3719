#pragma once

#include <string_view>

namespace tintra {

// The names of platform facilities in texts the user reads; every other word
// of those texts is the same on every platform.
namespace platform_terms {

#if defined(__APPLE__)
inline constexpr std::string_view mediaFramework = "AVFoundation";
#else
inline constexpr std::string_view mediaFramework = "libsndfile";
#endif

} // namespace platform_terms

} // namespace tintra
