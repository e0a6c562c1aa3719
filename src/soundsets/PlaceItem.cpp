#include "soundsets/PlaceItem.h"

#include "soundsets/CopyFolder.h"
#include "soundsets/TemporaryFolder.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>

namespace tintra {

namespace fs = std::filesystem;

namespace {

fs::path hiddenSibling(const fs::path& destination, std::string_view role)
{
    return destination.parent_path() / ("." + destination.filename().string() + ".tintra-" + std::string(role) + "-"
               + makeUUIDText());
}

std::error_code bringBeside(const fs::path& item, const fs::path& beside)
{
    std::error_code error;
    fs::rename(item, beside, error);
    if (error != std::errc::cross_device_link)
        return error;
    std::error_code typeError;
    if (fs::is_directory(item, typeError))
        error = copyFolder(item, beside);
    else
        fs::copy_file(item, beside, fs::copy_options::none, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(beside, ignored);
    }
    return error;
}

// Swaps two names in one step; fails with "not supported" where the file system cannot.
std::error_code exchange(const fs::path& a, const fs::path& b)
{
#ifdef RENAME_EXCHANGE
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return std::error_code(errno, std::generic_category());
#endif
    (void)a;
    (void)b;
    return std::make_error_code(std::errc::not_supported);
}

// Without an atomic swap: the old item steps aside and comes back if the new one cannot take its place.
std::error_code replaceByRenames(const fs::path& replacement, const fs::path& destination)
{
    const fs::path aside = hiddenSibling(destination, "old");
    std::error_code error;
    fs::rename(destination, aside, error);
    if (error)
        return error;
    fs::rename(replacement, destination, error);
    std::error_code ignored;
    if (error) {
        fs::rename(aside, destination, ignored);
        return error;
    }
    fs::remove_all(aside, ignored);
    return {};
}

} // namespace

std::error_code placeItem(const fs::path& item, const fs::path& written)
{
    // "Name.tintraset/" names the same place as "Name.tintraset".
    const fs::path destination = written.has_filename() ? written : written.parent_path();
    const fs::path beside = hiddenSibling(destination, "new");
    if (auto error = bringBeside(item, beside))
        return error;

    std::error_code error;
    std::error_code ignored;
    if (fs::symlink_status(destination, ignored).type() == fs::file_type::not_found) {
        fs::rename(beside, destination, error);
    } else {
        error = exchange(beside, destination);
        if (!error)
            fs::remove_all(beside, ignored); // now the old item
        else if (error == std::errc::not_supported)
            error = replaceByRenames(beside, destination);
    }
    if (error)
        fs::remove_all(beside, ignored);
    return error;
}

} // namespace tintra
