#include "ui/Sandbox.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tintra {

namespace {

// A classic Snap reaches the whole desktop; its metadata says so.
bool isStrictlyConfined(const std::filesystem::path& snap)
{
    std::ifstream metadata(snap / "meta" / "snap.yaml");
    const std::string text { std::istreambuf_iterator<char>(metadata), {} };
    return text.find("confinement: classic") == std::string::npos;
}

} // namespace

bool isSandboxed(const std::filesystem::path& homeDirectory)
{
    const char* snap = std::getenv("SNAP");
    return isSandboxed(homeDirectory, "/", snap && *snap ? std::optional<std::filesystem::path>(snap) : std::nullopt);
}

bool isSandboxed(const std::filesystem::path& homeDirectory, const std::filesystem::path& systemRoot,
    const std::optional<std::filesystem::path>& snap)
{
    if (homeDirectory.string().find("/Library/Containers/") != std::string::npos)
        return true;
    std::error_code error;
    if (std::filesystem::exists(systemRoot / ".flatpak-info", error))
        return true;
    return snap && isStrictlyConfined(*snap);
}

} // namespace tintra
