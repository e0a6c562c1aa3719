#include "fakes/SoundTypeRegistryFake.h"

namespace tintra {

std::optional<bool> SoundTypeRegistryFake::extensionIsAudioOrMovie(std::string_view extension) const
{
    const auto found = registered_.find(extension);
    return found == registered_.end() ? std::nullopt : std::optional(found->second);
}

} // namespace tintra
