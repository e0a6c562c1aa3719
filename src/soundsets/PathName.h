#pragma once

#include <filesystem>
#include <string>

namespace tintra {

// The last path component, also of a folder written with a trailing slash;
// the NAME of every failure text about a file.
inline std::string lastPathComponent(const std::filesystem::path& url)
{
    const auto name = url.filename();
    return name.empty() ? url.parent_path().filename().string() : name.string();
}

// The last path component without its extension ("Old Set.tintraset" gives "Old Set").
inline std::string lastPathComponentWithoutExtension(const std::filesystem::path& url)
{
    return std::filesystem::path(lastPathComponent(url)).stem().string();
}

} // namespace tintra
