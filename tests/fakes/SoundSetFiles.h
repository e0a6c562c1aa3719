#pragma once

#include "catalogue/SoundID.h"
#include "fakes/TemporaryFolder.h"
#include "support/PropertyList.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tintra::testing {

// A real, tiny, 16-bit mono sound file whose format follows the extension
// (WAV, or AIFF for aif/aiff); `frames` samples long.
void writeSound(const std::filesystem::path& file, int frames = 8);
void writeText(const std::filesystem::path& file, const std::string& text);
std::string contentsOf(const std::filesystem::path& file);

// Contents/Info.plist from a dictionary and Contents/Resources with the named sound files.
void writeBundle(const std::filesystem::path& bundle, const PropertyList::Dictionary& info,
    const std::vector<std::string>& soundNames = {});
// A bundle with an identifier and a name and the named sound files.
void writeBundle(const std::filesystem::path& bundle, const std::string& identifier, const std::string& name,
    const std::vector<std::string>& soundNames = {});

// Sorted names directly inside a folder.
std::vector<std::string> namesIn(const std::filesystem::path& folder);

} // namespace tintra::testing
