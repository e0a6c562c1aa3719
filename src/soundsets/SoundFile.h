#pragma once

#include "soundsets/SoundTypeRegistry.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tintra {

// Whether a file is audio the platform can open, judged by its extension
// alone (the file is not read).
bool isSoundFile(const std::filesystem::path& url, const SoundTypeRegistry& registry);

// The types offered when the user chooses a sound file: the generic audio
// type first, then every openable audio-visual type, each once.
std::vector<std::string> soundContentTypes(const SoundTypeRegistry& registry);

} // namespace tintra
