#pragma once

#include "soundsets/PlatformError.h"
#include "support/Bytes.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <optional>

namespace tintra {

// Where a bookmark led: the file, and whether the bytes no longer describe it
// well (it moved, or changed) so that a fresh bookmark should replace them.
struct ResolvedBookmark {
    std::filesystem::path url;
    bool isStale = false;
};

// Persistent references to files chosen by the user that survive a move or a
// rename. Main thread; every call is synchronous and may touch the disk
// (resolving may search folders for a while, within the implementation's
// bounds). Never interacts with the user and never mounts volumes.
class FileBookmarks {
public:
    virtual ~FileBookmarks() = default;

    // Bytes that find the file again; fails with the platform's error.
    virtual tl::expected<Bytes, PlatformError> create(const std::filesystem::path& url) = 0;
    // The file the bytes refer to now; nothing when it cannot be found.
    virtual std::optional<ResolvedBookmark> resolve(const Bytes& bookmark) = 0;
    // The path recorded in the bytes when they were made; nothing for bytes that are not a bookmark.
    virtual std::optional<std::filesystem::path> recordedPath(const Bytes& bookmark) = 0;
};

} // namespace tintra
