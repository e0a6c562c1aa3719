#pragma once

#include "soundsets/PlatformError.h"

#include <tl/expected.hpp>

#include <filesystem>

namespace tintra {

// Opens the file with the decoder playback uses and closes it again; fails
// with the decoder's reason when it is not audio it can read.
tl::expected<void, PlatformError> checkAudioOpens(const std::filesystem::path& url);

} // namespace tintra
