#pragma once

#include <tl/expected.hpp>

#include <filesystem>
#include <memory>
#include <string>

namespace tintra {

// Why a sound file could not be opened for playback.
struct AudioOpenError {
    enum class Case {
        unreadable,          // missing, not a file, or no permission
        unsupportedFormat,   // not audio the decoder understands
        empty,               // audio without a single frame
        conversionFailed,    // the sample-rate conversion failed
    };
    Case kind = Case::unreadable;
    std::filesystem::path url;
    std::string platformError;   // the decoder's own message, as it gave it

    // A sentence for the user: "No such file or directory." etc.
    std::string description() const;
};

// One playable copy of a sound, like a platform audio player.
//
// Main thread only. Settings may be changed at any time and take effect on
// the next buffer the mixer renders; the player applies them before `play`.
// `play` starts from the current time and never touches the file: the sound
// was decoded when the player was opened. `isPlaying` turns false by itself
// once the sound has run out (as the render thread observes), and at `stop`;
// `stop` keeps the current time, so a restart rewinds with setCurrentTime(0).
class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;

    // Loads what the first start needs; a later `play` starts at once.
    virtual void prepareToPlay() = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

    virtual void setVolume(float volume) = 0;          // 0.0 … 1.0
    virtual void setPan(float pan) = 0;                // -1.0 left … 1.0 right
    virtual void setNumberOfLoops(int loops) = 0;      // -1 endless, 0 once, n: n more times
    virtual void setCurrentTime(double seconds) = 0;
};

// Makes audio players. Main thread only. Opening decodes the whole file into
// memory; it fails with an AudioOpenError and never throws. The output must
// outlive every player it made.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    virtual tl::expected<std::unique_ptr<AudioPlayer>, AudioOpenError> open(const std::filesystem::path& url) = 0;
};

} // namespace tintra
