#pragma once

#include <filesystem>
#include <ostream>

namespace tintra::cli {

// A folder is described as a bundle, anything else as a classic file.
int printInfo(const std::filesystem::path& path, std::ostream& out, std::ostream& err);

// Describes a classic sound-set file: name, version, copyright, where its
// resource fork was found, its resource types, and each mapped sound with its
// resource and whether it decodes. Returns the exit status.
int printClassicInfo(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

} // namespace tintra::cli
