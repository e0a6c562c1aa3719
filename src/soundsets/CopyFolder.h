#pragma once

#include <filesystem>
#include <system_error>

namespace tintra {

// Copies a folder tree to a destination that must not exist yet. Regular
// files are copied (also through symbolic links); folders are entered only
// when they are real folders, so a link loop cannot recurse; devices, pipes
// and sockets are left out. Refuses a destination inside the source.
// Answers the first failure; a partial copy is left for the caller.
std::error_code copyFolder(const std::filesystem::path& source, const std::filesystem::path& destination);

} // namespace tintra
