#include "platform/linux/files/FileBookmarksLinux.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace tintra {

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kMagic[4] = { 'T', 'D', 'B', 'K' };
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kHeaderSize = 4 + 1 + 8 * 5 + 4 + 4;
constexpr std::uint32_t kMaxPathLength = 1u << 16;

// How far each kind of place is searched, in folder levels below it.
constexpr int kRecordedFolderDepth = 0;
constexpr int kParentFolderDepth = 1;
constexpr int kHomeFolderDepth = 6;
constexpr long kMaxEntries = 500000;

struct FileRecord {
    std::string path;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::uint32_t modifiedNanoseconds = 0;
};

void put(Bytes& bytes, std::uint64_t value, int width)
{
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint64_t take(const Bytes& bytes, std::size_t& offset, int width)
{
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | bytes[offset++];
    return value;
}

Bytes encode(const FileRecord& record)
{
    Bytes bytes(std::begin(kMagic), std::end(kMagic));
    bytes.push_back(kVersion);
    put(bytes, record.device, 8);
    put(bytes, record.inode, 8);
    put(bytes, record.size, 8);
    put(bytes, static_cast<std::uint64_t>(record.modifiedSeconds), 8);
    put(bytes, record.modifiedNanoseconds, 8);
    put(bytes, 0, 4); // reserved
    put(bytes, record.path.size(), 4);
    bytes.insert(bytes.end(), record.path.begin(), record.path.end());
    return bytes;
}

std::optional<FileRecord> decode(const Bytes& bytes)
{
    if (bytes.size() < kHeaderSize || !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin())
        || bytes[4] != kVersion)
        return std::nullopt;
    std::size_t offset = 5;
    FileRecord record;
    record.device = take(bytes, offset, 8);
    record.inode = take(bytes, offset, 8);
    record.size = take(bytes, offset, 8);
    record.modifiedSeconds = static_cast<std::int64_t>(take(bytes, offset, 8));
    record.modifiedNanoseconds = static_cast<std::uint32_t>(take(bytes, offset, 8));
    take(bytes, offset, 4);
    const auto length = take(bytes, offset, 4);
    if (length == 0 || length > kMaxPathLength || bytes.size() != kHeaderSize + length)
        return std::nullopt;
    record.path.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());
    if (record.path.front() != '/' || record.path.find('\0') != std::string::npos)
        return std::nullopt;
    return record;
}

bool sameFile(const struct stat& status, const FileRecord& record)
{
    return static_cast<std::uint64_t>(status.st_dev) == record.device
        && static_cast<std::uint64_t>(status.st_ino) == record.inode;
}

bool unchanged(const struct stat& status, const FileRecord& record)
{
    return static_cast<std::uint64_t>(status.st_size) == record.size
        && status.st_mtim.tv_sec == record.modifiedSeconds
        && static_cast<std::uint32_t>(status.st_mtim.tv_nsec) == record.modifiedNanoseconds;
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// A walk for one file identity, within a budget of entries and time.
class InodeSearch {
public:
    InodeSearch(const FileRecord& record, const Clock& clock, MonotonicTime deadline)
        : record_(record)
        , clock_(clock)
        , deadline_(deadline)
    {
    }

    std::optional<fs::path> find(const fs::path& folder, int depth)
    {
        if (exhausted())
            return std::nullopt;
        std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
        if (!directory)
            return std::nullopt;
        struct stat own {};
        if (::fstat(::dirfd(directory.get()), &own) != 0 || !visited_.emplace(own.st_dev, own.st_ino).second)
            return std::nullopt;
        std::vector<fs::path> subfolders;
        while (const dirent* entry = ::readdir(directory.get())) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (++entries_ % 256 == 0 && exhausted())
                return std::nullopt;
            const fs::path path = folder / name;
            if (entry->d_type == DT_DIR) {
                if (depth > 0 && !name.starts_with("."))
                    subfolders.push_back(path);
            } else if (entry->d_type == DT_UNKNOWN || static_cast<std::uint64_t>(entry->d_ino) == record_.inode) {
                if (auto found = check(path, depth, name, subfolders))
                    return found;
            }
        }
        directory.reset();
        for (const auto& subfolder : subfolders) {
            if (auto found = find(subfolder, depth - 1))
                return found;
        }
        return std::nullopt;
    }

private:
    std::optional<fs::path> check(const fs::path& path, int depth, std::string_view name, std::vector<fs::path>& subfolders)
    {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0)
            return std::nullopt;
        if (S_ISDIR(status.st_mode)) {
            if (depth > 0 && !name.starts_with("."))
                subfolders.push_back(path);
            return std::nullopt;
        }
        // An inode number can be reused after a delete; a moved file keeps its size or its date.
        const bool sameSize = static_cast<std::uint64_t>(status.st_size) == record_.size;
        const bool sameDate = status.st_mtim.tv_sec == record_.modifiedSeconds;
        if (S_ISREG(status.st_mode) && sameFile(status, record_) && (sameSize || sameDate))
            return path;
        return std::nullopt;
    }

    bool exhausted() const { return entries_ > kMaxEntries || clock_.monotonicNow() >= deadline_; }

    const FileRecord& record_;
    const Clock& clock_;
    MonotonicTime deadline_;
    long entries_ = 0;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

fs::path userHome()
{
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path();
}

} // namespace

FileBookmarksLinux::FileBookmarksLinux(fs::path home, const Clock& clock, Duration searchTime)
    : home_(std::move(home))
    , clock_(clock)
    , searchTime_(searchTime)
{
}

FileBookmarksLinux::FileBookmarksLinux() : FileBookmarksLinux(userHome(), SystemClock::shared()) {}

tl::expected<Bytes, PlatformError> FileBookmarksLinux::create(const fs::path& url)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(url, error).lexically_normal();
    if (error)
        return tl::unexpected(PlatformError::from(error));
    struct stat status {};
    if (::stat(absolute.c_str(), &status) != 0)
        return tl::unexpected(PlatformError::from(std::error_code(errno, std::generic_category())));
    if (absolute.native().size() > kMaxPathLength)
        return tl::unexpected(PlatformError::from(std::make_error_code(std::errc::filename_too_long)));
    return encode(FileRecord { absolute.native(), static_cast<std::uint64_t>(status.st_dev),
        static_cast<std::uint64_t>(status.st_ino), static_cast<std::uint64_t>(status.st_size), status.st_mtim.tv_sec,
        static_cast<std::uint32_t>(status.st_mtim.tv_nsec) });
}

std::optional<ResolvedBookmark> FileBookmarksLinux::resolve(const Bytes& bookmark)
{
    const auto record = decode(bookmark);
    if (!record)
        return std::nullopt;
    const fs::path recorded = record->path;
    struct stat status {};
    const bool recordedExists = ::stat(recorded.c_str(), &status) == 0;
    if (recordedExists && sameFile(status, *record))
        return ResolvedBookmark { recorded, !unchanged(status, *record) };

    InodeSearch search(*record, clock_, clock_.monotonicNow() + searchTime_);
    const fs::path folder = recorded.parent_path();
    auto found = search.find(folder, kRecordedFolderDepth);
    if (!found && folder.has_parent_path() && folder.parent_path() != folder)
        found = search.find(folder.parent_path(), kParentFolderDepth);
    if (!found && !home_.empty())
        found = search.find(home_, kHomeFolderDepth);
    if (found)
        return ResolvedBookmark { *found, true };
    // Replaced in place (saved by an editor that writes a new file): still the user's file.
    if (recordedExists && S_ISREG(status.st_mode))
        return ResolvedBookmark { recorded, true };
    return std::nullopt;
}

std::optional<fs::path> FileBookmarksLinux::recordedPath(const Bytes& bookmark)
{
    const auto record = decode(bookmark);
    return record ? std::optional(fs::path(record->path)) : std::nullopt;
}

} // namespace tintra
