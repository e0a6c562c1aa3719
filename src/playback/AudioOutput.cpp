#include "playback/AudioOutput.h"

namespace tintra {

std::string AudioOpenError::description() const
{
    switch (kind) {
    case Case::unreadable:
        return platformError.empty() ? "The file could not be read." : platformError;
    case Case::unsupportedFormat:
        return platformError.empty() ? "The file is not in an audio format that can be played." : platformError;
    case Case::empty:
        return "The file holds no sound.";
    case Case::conversionFailed:
        return "The sound could not be converted to the output's sample rate: " + platformError;
    }
    return platformError;
}

} // namespace tintra
