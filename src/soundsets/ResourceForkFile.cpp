// The one place where the fork reader touches the file system: everything
// else works on bytes.
#include "soundsets/ResourceFork.h"

#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace tintra {
namespace {

// Far above any classic file (a fork's offsets stop at 16 MiB), low enough
// that a stray video file is not read into memory.
constexpr std::uintmax_t largestReadableFile = 256u << 20;

constexpr std::array<const char*, 3> forkAttributes {
    "user.com.apple.ResourceFork",
    "com.apple.ResourceFork",
    "user.org.netatalk.ResourceFork",
};

std::int32_t statusOfErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return osStatus::fnfErr;
    case EACCES:
    case EPERM: return osStatus::permErr;
    default: return osStatus::ioErr;
    }
}

TintraResourceForkError forkError(TintraResourceForkError::Case kind, std::int32_t status)
{
    return { kind, status };
}

tl::expected<Bytes, std::int32_t> readFile(const std::filesystem::path& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return tl::unexpected(statusOfErrno(error.value()));
    if (size > largestReadableFile)
        return tl::unexpected(osStatus::ioErr);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return tl::unexpected(statusOfErrno(errno));
    Bytes bytes(size);
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return tl::unexpected(osStatus::ioErr);
    return bytes;
}

std::optional<Bytes> readAttribute(const std::filesystem::path& path, const char* name)
{
    const auto size = ::getxattr(path.c_str(), name, nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    Bytes bytes(static_cast<std::size_t>(size));
    const auto read = ::getxattr(path.c_str(), name, bytes.data(), bytes.size());
    if (read <= 0)
        return std::nullopt;
    bytes.resize(std::size_t(read));
    return bytes;
}

// A non-empty regular file at `path`, or nothing.
std::optional<Bytes> readIfPresent(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    auto bytes = readFile(path);
    if (!bytes || bytes->empty())
        return std::nullopt;
    return std::move(*bytes);
}

// The fork from the file's own attributes or named fork, as the file systems
// that keep one expose it.
std::optional<std::pair<TintraForkContainer, Bytes>> attachedFork(const std::filesystem::path& file)
{
    for (const char* name : forkAttributes) {
        if (auto bytes = readAttribute(file, name))
            return std::pair { TintraForkContainer::extendedAttribute, std::move(*bytes) };
    }
    for (const auto& named : { file / "..namedfork" / "rsrc", file / "rsrc" }) {
        if (auto bytes = readIfPresent(named))
            return std::pair { TintraForkContainer::namedFork, std::move(*bytes) };
    }
    return std::nullopt;
}

} // namespace

tl::expected<TintraResourceFork, TintraResourceForkError> TintraResourceFork::open(const std::filesystem::path& file)
{
    using Case = TintraResourceForkError::Case;
    if (file.empty() || !file.has_filename())
        return tl::unexpected(forkError(file.empty() ? Case::notAFileURL : Case::couldNotLocate, osStatus::paramErr));
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (error || !std::filesystem::exists(status))
        return tl::unexpected(forkError(Case::couldNotLocate, statusOfErrno(error ? error.value() : ENOENT)));
    if (std::filesystem::is_directory(status))
        return tl::unexpected(forkError(Case::couldNotLocate, osStatus::paramErr));

    if (auto attached = attachedFork(file))
        return parse(attached->second, attached->first);

    // A companion that carries only Finder info leaves the search to the file itself.
    if (auto companion = readIfPresent(file.parent_path() / ("._" + file.filename().string()))) {
        if (auto found = findResourceForkInCompanion(*companion))
            return parse(found->fork, found->container);
    }

    const auto content = readFile(file);
    if (!content)
        return tl::unexpected(forkError(Case::noReadableFork, content.error()));
    const auto found = findResourceForkInContent(*content);
    if (!found)
        return tl::unexpected(forkError(Case::noReadableFork, found.error()));
    return parse(found->fork, found->container);
}

} // namespace tintra
