#pragma once

#include <filesystem>
#include <optional>

namespace tintra {

// The user's sound-set library: $XDG_DATA_HOME/{makerPrefix}.TintraDorvel/Tintr Sets,
// with ~/.local/share when the variable is unset, empty or relative.
std::filesystem::path standardLibraryDirectory();
std::filesystem::path libraryDirectory(const char* xdgDataHome, const std::filesystem::path& home);

// The session's autostart folder: $XDG_CONFIG_HOME/autostart, with ~/.config
// when the variable is unset, empty or relative.
std::filesystem::path standardAutostartDirectory();
std::filesystem::path autostartDirectory(const char* xdgConfigHome, const std::filesystem::path& home);

// The program's data folder: the build tree's resources folder when the
// running program lies in the build tree, else share/tintra-dorvel beside the
// bin/ folder of the program, wherever its prefix was installed. Nothing when
// that folder does not exist.
std::optional<std::filesystem::path> programDataDirectory(
    const std::filesystem::path& executable, const std::filesystem::path& buildTree);
std::optional<std::filesystem::path> standardProgramDataDirectory();
// "Tintra Sets" inside the program's data folder.
std::optional<std::filesystem::path> standardBuiltInDirectory();

} // namespace tintra
