#pragma once

#include "soundsets/FileBookmarks.h"
#include "support/Clock.h"

#include <filesystem>

namespace tintra {

// Bookmarks as a small versioned record of a file's path, device, inode,
// size and modification time. A file still at its recorded path resolves
// fresh; otherwise the same device and inode are looked for in the recorded
// folder, its parent with the sibling folders, and the home folder (hidden
// folders skipped, bounded in depth, entries and time), and a file found
// there resolves stale so that a fresh bookmark replaces the record. Plain
// POSIX, but what a file's identity is and where a moved file goes are the
// platform's, so it lives here. Main thread.
class FileBookmarksLinux final : public FileBookmarks {
public:
    // `searchTime` bounds one resolution's search, measured on `clock`.
    FileBookmarksLinux(std::filesystem::path home, const Clock& clock, Duration searchTime = seconds(2));
    // The user's home folder and the system clock.
    FileBookmarksLinux();

    tl::expected<Bytes, PlatformError> create(const std::filesystem::path& url) override;
    std::optional<ResolvedBookmark> resolve(const Bytes& bookmark) override;
    std::optional<std::filesystem::path> recordedPath(const Bytes& bookmark) override;

private:
    std::filesystem::path home_;
    const Clock& clock_;
    Duration searchTime_;
};

} // namespace tintra
