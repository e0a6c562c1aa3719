#include "soundsets/CopyFolder.h"

#include <algorithm>

namespace tintra {

namespace fs = std::filesystem;

namespace {

// Deeper than any bundle; a bound on hand-made trees.
constexpr int kMaxDepth = 32;

std::error_code copyEntries(const fs::path& source, const fs::path& destination, int depth)
{
    if (depth > kMaxDepth)
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    std::error_code error;
    fs::create_directory(destination, error);
    if (error)
        return error;
    fs::directory_iterator entries(source, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path& from = entries->path();
        const fs::path to = destination / from.filename();
        std::error_code typeError;
        const auto own = fs::symlink_status(from, typeError).type();
        if (own == fs::file_type::directory) {
            if (auto failed = copyEntries(from, to, depth + 1))
                return failed;
        } else if (fs::status(from, typeError).type() == fs::file_type::regular) {
            fs::copy_file(from, to, fs::copy_options::none, error);
            if (error)
                return error;
        }
    }
    return error;
}

bool isInside(const fs::path& inner, const fs::path& outer)
{
    const auto [end, _] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return end == outer.end();
}

} // namespace

std::error_code copyFolder(const fs::path& source, const fs::path& destination)
{
    std::error_code error;
    const fs::path from = fs::canonical(source, error);
    if (error)
        return error;
    const fs::path to = fs::weakly_canonical(destination, error);
    if (error)
        return error;
    if (isInside(to, from))
        return std::make_error_code(std::errc::invalid_argument);
    return copyEntries(from, to, 0);
}

} // namespace tintra
