#include "fakes/FileBookmarksFake.h"

namespace tintra {

namespace {

std::optional<std::filesystem::path> pathIn(const Bytes& bookmark)
{
    const std::string text(bookmark.begin(), bookmark.end());
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return std::nullopt;
    return std::filesystem::path(text.substr(colon + 1));
}

} // namespace

tl::expected<Bytes, PlatformError> FileBookmarksFake::create(const std::filesystem::path& url)
{
    if (failCreate_)
        return tl::unexpected(PlatformError { "Operation not permitted" });
    const std::string text = std::to_string(++createCount_) + ":" + url.string();
    return Bytes(text.begin(), text.end());
}

std::optional<ResolvedBookmark> FileBookmarksFake::resolve(const Bytes& bookmark)
{
    ++resolveCount_;
    auto url = pathIn(bookmark);
    if (!url || forgotten_.contains(*url))
        return std::nullopt;
    bool moved = false;
    for (auto next = moves_.find(*url); next != moves_.end(); next = moves_.find(*url)) {
        url = next->second;
        moved = true;
    }
    return ResolvedBookmark { *url, moved };
}

std::optional<std::filesystem::path> FileBookmarksFake::recordedPath(const Bytes& bookmark)
{
    return pathIn(bookmark);
}

} // namespace tintra
