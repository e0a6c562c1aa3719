#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tintra {

// The updater's rules that need no network: which channels a version may
// take updates from, and the one line that says why updating cannot work.

// {"beta"} for a pre-release (an "a", "b" or "rc" anywhere, in either case),
// else none: the default channel only.
std::set<std::string> allowedUpdateChannels(std::string_view shortVersion);

// A start failure first, then a feed address that is not a URL, then a public
// key that is not Base64 of exactly 32 bytes; none when updating can work.
std::optional<std::string> updateProblemDescription(const std::optional<std::string>& startFailureDescription,
    std::string_view feedURL, std::string_view publicEDKey);

} // namespace tintra
