#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

namespace tintra::cli {

// Imports each classic file as a bundle, into `into` or installed into the
// user's library; a folder (a bundle or a plain folder of sounds) is installed
// as a set into the same place. One line per path: the import summary on
// `out`, or the failure on `err`. Returns the exit status.
int importSets(const std::vector<std::filesystem::path>& paths, const std::optional<std::filesystem::path>& into,
    std::ostream& out, std::ostream& err);

} // namespace tintra::cli
