#pragma once

#include "soundsets/FileBookmarks.h"

#include <map>
#include <string>

namespace tintra {

// Bookmarks whose bytes are "N:PATH", N counting the bookmarks made. A test
// moves a file with `moveFile`, after which its old bookmarks resolve stale to
// the new place; `forget` makes every bookmark of a file unresolvable (the
// recorded path is still reported). `failCreate` makes creation fail.
class FileBookmarksFake final : public FileBookmarks {
public:
    tl::expected<Bytes, PlatformError> create(const std::filesystem::path& url) override;
    std::optional<ResolvedBookmark> resolve(const Bytes& bookmark) override;
    std::optional<std::filesystem::path> recordedPath(const Bytes& bookmark) override;

    void moveFile(const std::filesystem::path& from, const std::filesystem::path& to) { moves_[from] = to; }
    void forget(const std::filesystem::path& url) { forgotten_[url] = true; }
    void setFailCreate(bool fail) { failCreate_ = fail; }

    int createCount() const { return createCount_; }
    int resolveCount() const { return resolveCount_; }

private:
    std::map<std::filesystem::path, std::filesystem::path> moves_;
    std::map<std::filesystem::path, bool> forgotten_;
    bool failCreate_ = false;
    int createCount_ = 0;
    int resolveCount_ = 0;
};

} // namespace tintra
