#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// The platform's registry of file types and the formats its media framework
// can open: what the sound-file test and the sound file chooser ask.
// Any thread; every answer is fixed for the life of the process, so an
// implementation may build its tables once, on first use. Never fails: a
// registry it cannot read simply knows no types.
class SoundTypeRegistry {
public:
    virtual ~SoundTypeRegistry() = default;

    // Every file-name extension registered for an audio-visual type that the
    // media framework can open, lower-cased, without the dot.
    virtual const std::set<std::string>& audioExtensions() const = 0;

    // Whether the content type registered for a lower-cased extension conforms
    // to audio or to movie; nothing when no type is registered for it.
    virtual std::optional<bool> extensionIsAudioOrMovie(std::string_view extension) const = 0;

    // The generic audio type, as the file chooser names types.
    virtual std::string genericAudioType() const = 0;

    // The audio-visual types the media framework can open, in the registry's order.
    virtual std::vector<std::string> openableAudioVisualTypes() const = 0;
};

} // namespace tintra
