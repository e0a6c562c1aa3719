#pragma once

#include "soundsets/SoundTypeRegistry.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tintra {

// File types from libsndfile and the shared-mime-info database. libsndfile
// names the formats it can open (and a few more are always taken: mp3, ogg,
// opus, flac, wav, aiff, aif, aifc, caf, au, snd); an extension outside them
// is a sound file when its registered MIME type is audio/* or video/*.
// Built once in the constructor; then read-only, so any thread may ask.
class SoundTypeRegistryLinux final : public SoundTypeRegistry {
public:
    // The glob files of the XDG data folders.
    SoundTypeRegistryLinux();
    // The given glob files (mime/globs2), the first one's answer winning.
    explicit SoundTypeRegistryLinux(const std::vector<std::filesystem::path>& globFiles);

    // $XDG_DATA_HOME (or ~/.local/share), then each of $XDG_DATA_DIRS (or
    // /usr/local/share:/usr/share), each + "mime/globs2".
    static std::vector<std::filesystem::path> standardGlobFiles();

    const std::set<std::string>& audioExtensions() const override { return audioExtensions_; }
    std::optional<bool> extensionIsAudioOrMovie(std::string_view extension) const override;
    std::string genericAudioType() const override { return "audio/*"; }
    std::vector<std::string> openableAudioVisualTypes() const override { return openableTypes_; }

private:
    void readGlobFile(const std::filesystem::path& file);

    std::set<std::string> audioExtensions_;
    std::map<std::string, std::string, std::less<>> typeByExtension_;
    std::vector<std::string> openableTypes_;
};

} // namespace tintra
