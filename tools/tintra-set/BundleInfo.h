#pragma once

#include <filesystem>
#include <ostream>

namespace tintra::cli {

// Describes a sound-set bundle: its metadata, its sounds by code, the files
// that match no sound and the files that lost to another for the same sound.
// Returns the exit status.
int printBundleInfo(const std::filesystem::path& bundle, std::ostream& out, std::ostream& err);

} // namespace tintra::cli
