#include "soundlog/SoundLogEntry.h"

namespace tintra {

std::string TintraSoundLogEntry::identity() const
{
    // U+0001 cannot occur in an event name, so the parts never run together.
    return eventName + '\x01' + soundID.description() + '\x01' + detail.value_or("");
}

} // namespace tintra
