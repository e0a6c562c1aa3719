#pragma once

#include <filesystem>
#include <ostream>

namespace tintra::cli {

// Describes a classic sound-set file: name, version, copyright, where its
// resource fork was found, its resource types, and each mapped sound with its
// resource and whether it decodes. Returns the exit status.
int printClassicInfo(const std::filesystem::path& file, std::ostream& out, std::ostream& err);

} // namespace tintra::cli
