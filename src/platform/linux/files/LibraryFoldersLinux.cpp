#include "platform/linux/files/LibraryFoldersLinux.h"

#include <algorithm>
#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace tintra {

namespace fs = std::filesystem;

namespace {

fs::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

bool isInside(const fs::path& inner, const fs::path& outer)
{
    const auto [end, _] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return end == outer.end();
}

} // namespace

fs::path libraryDirectory(const char* xdgDataHome, const fs::path& home)
{
    fs::path base = xdgDataHome ? fs::path(xdgDataHome) : fs::path();
    if (base.empty() || !base.is_absolute())
        base = home / ".local" / "share";
    return base / (TINTRA_MAKER_PREFIX ".TintraDorvel") / "Tintr Sets";
}

fs::path standardLibraryDirectory()
{
    return libraryDirectory(std::getenv("XDG_DATA_HOME"), homeFolder());
}

std::optional<fs::path> programDataDirectory(const fs::path& executable, const fs::path& buildTree)
{
    const fs::path data = isInside(executable, buildTree)
        ? buildTree / "resources"
        : executable.parent_path().parent_path() / TINTRA_INSTALL_DATA_DIR;
    std::error_code error;
    if (!fs::is_directory(data, error))
        return std::nullopt;
    return data;
}

std::optional<fs::path> standardProgramDataDirectory()
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    const fs::path buildTree = fs::weakly_canonical(TINTRA_BUILD_DIR, error);
    return programDataDirectory(executable, buildTree);
}

std::optional<fs::path> standardBuiltInDirectory()
{
    const auto data = standardProgramDataDirectory();
    return data ? std::optional(*data / "Tintra Sets") : std::nullopt;
}

} // namespace tintra
