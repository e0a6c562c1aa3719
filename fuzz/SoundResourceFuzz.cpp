#include "soundsets/SoundResource.h"

#include <cstdlib>
#include <span>

// The 'snd ' decoder on any bytes: every sample comes from at least one input
// byte, and a decoded sound has a channel.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tintra;
    const auto sound = decodeSoundResource(std::span(data, size));
    if (!sound)
        return 0;
    if (sound->samples.empty() || sound->samples.size() > size || sound->channelCount < 1 || sound->sampleRate < 0)
        std::abort();
    return 0;
}
