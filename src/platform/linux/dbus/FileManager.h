#pragma once

#include <filesystem>

namespace tintra {

// Shows a file selected in the desktop's file manager
// (org.freedesktop.FileManager1), or opens its folder where no file manager
// answers that interface. Main thread only; returns at once.
void revealInFileManager(const std::filesystem::path& file);

} // namespace tintra
