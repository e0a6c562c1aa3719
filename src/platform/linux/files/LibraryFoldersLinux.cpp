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

// An XDG base folder's variable counts only when it holds an absolute path.
fs::path xdgFolder(const char* variable, const fs::path& fallback)
{
    const fs::path base = variable ? fs::path(variable) : fs::path();
    return base.is_absolute() ? base : fallback;
}

} // namespace

fs::path libraryDirectory(const char* xdgDataHome, const fs::path& home)
{
    return xdgFolder(xdgDataHome, home / ".local" / "share") / (TINTRA_MAKER_PREFIX ".TintraDorvel") / "Tintr Sets";
}

fs::path standardLibraryDirectory()
{
    return libraryDirectory(std::getenv("XDG_DATA_HOME"), homeFolder());
}

fs::path autostartDirectory(const char* xdgConfigHome, const fs::path& home)
{
    return xdgFolder(xdgConfigHome, home / ".config") / "autostart";
}

fs::path standardAutostartDirectory()
{
    return autostartDirectory(std::getenv("XDG_CONFIG_HOME"), homeFolder());
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
