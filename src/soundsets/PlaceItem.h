#pragma once

#include <filesystem>
#include <system_error>

namespace tintra {

// Moves a finished file or folder to the destination, replacing what is there
// as a whole: at every moment the destination holds either the old item or
// the new one, never neither and never a mixture. The item is first brought
// beside the destination under a hidden name (copied when it lies on another
// file system), then swapped in; the old item is deleted afterwards. On
// failure the destination is as it was and the hidden copy is removed.
std::error_code placeItem(const std::filesystem::path& item, const std::filesystem::path& destination);

} // namespace tintra
