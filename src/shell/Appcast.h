#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// One release in the update feed: an RSS item with Sparkle's fields.
struct TintraAppcastItem {
    std::string title {};
    // Compared with our own version (sparkle:version).
    std::string version {};
    // What the user is shown (sparkle:shortVersionString, else the version).
    std::string displayVersion {};
    // Empty for the default channel.
    std::string channel {};
    // Release notes: inline HTML from the description, or a link to them.
    std::string releaseNotesHTML {};
    std::string releaseNotesURL {};
    std::string fileURL {};
    // 0 when the feed does not say.
    std::uint64_t fileLength = 0;
    // Base64 Ed25519 signature of the whole file.
    std::string edSignature {};
};

// Sparkle's version order: numbers numerically, letters alphabetically, and
// a pre-release tail older than its release ("1.0b1" < "1.0" < "1.0.1").
// Negative, zero or positive as `a` is older than, as old as, or newer than `b`.
int compareVersions(std::string_view a, std::string_view b);

// The newest item with a file, of the default channel or one of `channels`,
// when it is newer than `currentVersion`.
std::optional<TintraAppcastItem> newestUpdate(const std::vector<TintraAppcastItem>& items,
    std::string_view currentVersion, const std::set<std::string>& channels);

} // namespace tintra
