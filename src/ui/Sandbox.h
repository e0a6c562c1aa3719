#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tintra {

// Whether this process runs where other applications' accessibility cannot
// reach it: a macOS app container (a home inside "/Library/Containers/"), a
// Flatpak (whose bus proxy passes only the application's own accessibility),
// or a strictly confined Snap. `systemRoot` and `snap` ($SNAP) are the
// process's own unless a test names others.
bool isSandboxed(const std::filesystem::path& homeDirectory);
bool isSandboxed(const std::filesystem::path& homeDirectory, const std::filesystem::path& systemRoot,
    const std::optional<std::filesystem::path>& snap);

} // namespace tintra
