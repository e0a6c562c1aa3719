#pragma once

#include <filesystem>
#include <optional>

namespace tintra {

// The user's sound-set library: $XDG_DATA_HOME/{makerPrefix}.TintraDorvel/Tintr Sets,
// with ~/.local/share when the variable is unset, empty or relative.
std::filesystem::path standardLibraryDirectory();
std::filesystem::path libraryDirectory(const char* xdgDataHome, const std::filesystem::path& home);

// "Tintra Sets" inside the program's data folder: the build tree's resources
// folder when the running program lies in the build tree, else the installed
// share/tintra-dorvel. Nothing when that data folder does not exist.
std::optional<std::filesystem::path> standardBuiltInDirectory();
std::optional<std::filesystem::path> builtInDirectory(const std::filesystem::path& executable,
    const std::filesystem::path& buildTree, const std::filesystem::path& installedData);

} // namespace tintra
