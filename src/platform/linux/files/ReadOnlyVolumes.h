#pragma once

#include <filesystem>

namespace tintra {

// Whether the file system holding `path` is mounted read-only. False when it cannot be asked.
bool liesOnReadOnlyVolume(const std::filesystem::path& path);

// Whether it is, besides, an image mounted read-only: squashfs (an AppImage's
// own mount, snaps), ISO 9660, UDF, EROFS, or a FUSE mount such as squashfuse.
bool liesOnReadOnlyImage(const std::filesystem::path& path);

} // namespace tintra
