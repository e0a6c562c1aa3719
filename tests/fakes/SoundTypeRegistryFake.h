#pragma once

#include "soundsets/SoundTypeRegistry.h"

#include <map>

namespace tintra {

// Fixed answers: the media framework opens aiff, aif, aifc, caf, wav and mp3;
// m4a is registered as audio, mov as movie, txt and plist as other data.
class SoundTypeRegistryFake final : public SoundTypeRegistry {
public:
    const std::set<std::string>& audioExtensions() const override { return audioExtensions_; }
    std::optional<bool> extensionIsAudioOrMovie(std::string_view extension) const override;
    std::string genericAudioType() const override { return "public.audio"; }
    std::vector<std::string> openableAudioVisualTypes() const override
    {
        return { "public.aiff-audio", "public.aifc-audio", "public.wav", "public.aiff-audio", "public.mp3" };
    }

private:
    std::set<std::string> audioExtensions_ { "aiff", "aif", "aifc", "caf", "wav", "mp3" };
    std::map<std::string, bool, std::less<>> registered_ {
        { "m4a", true }, { "mov", true }, { "txt", false }, { "plist", false }
    };
};

} // namespace tintra
