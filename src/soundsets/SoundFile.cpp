#include "soundsets/SoundFile.h"

#include "support/Text.h"

#include <algorithm>

namespace tintra {

bool isSoundFile(const std::filesystem::path& url, const SoundTypeRegistry& registry)
{
    const std::string dotted = url.extension().string();
    if (dotted.size() <= 1)
        return false;
    const std::string extension = lowercased(std::string_view(dotted).substr(1));
    if (registry.audioExtensions().contains(extension))
        return true;
    return registry.extensionIsAudioOrMovie(extension).value_or(false);
}

std::vector<std::string> soundContentTypes(const SoundTypeRegistry& registry)
{
    std::vector<std::string> types { registry.genericAudioType() };
    for (auto& type : registry.openableAudioVisualTypes()) {
        if (std::find(types.begin(), types.end(), type) == types.end())
            types.push_back(std::move(type));
    }
    return types;
}

} // namespace tintra
