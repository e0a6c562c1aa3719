#include "platform/linux/files/SoundTypeRegistryLinux.h"

#include "support/Text.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tintra {

namespace fs = std::filesystem;

namespace {

constexpr const char* kAlwaysAudio[] = { "mp3", "ogg", "opus", "flac", "wav", "aiff", "aif", "aifc", "caf", "au", "snd" };

// A glob file larger than this is not shared-mime-info's.
constexpr std::uintmax_t kMaxGlobFileSize = 64u << 20;

std::vector<std::string> libsndfileExtensions()
{
    std::vector<std::string> extensions;
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int index = 0; index < count; ++index) {
        SF_FORMAT_INFO info {};
        info.format = index;
        if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0 && info.extension && *info.extension)
            extensions.push_back(lowercased(info.extension));
    }
    return extensions;
}

bool isAudioOrVideo(std::string_view type)
{
    return type.starts_with("audio/") || type.starts_with("video/");
}

// "*.ext" without further wildcards gives "ext"; any other pattern nothing.
std::optional<std::string> simpleExtension(std::string_view glob)
{
    if (!glob.starts_with("*.") || glob.size() == 2)
        return std::nullopt;
    const auto extension = glob.substr(2);
    if (extension.find_first_of("*?[]\\") != std::string_view::npos)
        return std::nullopt;
    return lowercased(extension);
}

fs::path homeFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path("/");
}

} // namespace

SoundTypeRegistryLinux::SoundTypeRegistryLinux() : SoundTypeRegistryLinux(standardGlobFiles()) {}

SoundTypeRegistryLinux::SoundTypeRegistryLinux(const std::vector<fs::path>& globFiles)
{
    for (const auto& file : globFiles)
        readGlobFile(file);
    std::vector<std::string> ordered = libsndfileExtensions();
    ordered.insert(ordered.end(), std::begin(kAlwaysAudio), std::end(kAlwaysAudio));
    for (const auto& extension : ordered) {
        audioExtensions_.insert(extension);
        const auto type = typeByExtension_.find(extension);
        if (type != typeByExtension_.end() && isAudioOrVideo(type->second)
            && std::find(openableTypes_.begin(), openableTypes_.end(), type->second) == openableTypes_.end())
            openableTypes_.push_back(type->second);
    }
}

std::vector<fs::path> SoundTypeRegistryLinux::standardGlobFiles()
{
    // The XDG base directory rules ignore relative folders.
    std::vector<fs::path> folders;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    folders.push_back(dataHome && fs::path(dataHome).is_absolute() ? fs::path(dataHome) : homeFolder() / ".local/share");
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::stringstream list(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
    for (std::string folder; std::getline(list, folder, ':');) {
        if (fs::path(folder).is_absolute())
            folders.emplace_back(folder);
    }
    std::vector<fs::path> files;
    for (const auto& folder : folders)
        files.push_back(folder / "mime" / "globs2");
    return files;
}

void SoundTypeRegistryLinux::readGlobFile(const fs::path& file)
{
    std::error_code error;
    if (fs::status(file, error).type() != fs::file_type::regular || fs::file_size(file, error) > kMaxGlobFileSize)
        return;
    std::ifstream in(file);
    // Lines are "weight:type:glob[:flags]", heaviest first, so the first type of an extension wins.
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        const auto first = line.find(':');
        const auto second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos)
            continue;
        const auto third = line.find(':', second + 1);
        const std::string type = line.substr(first + 1, second - first - 1);
        const auto glob = std::string_view(line).substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
        if (const auto extension = simpleExtension(glob))
            typeByExtension_.try_emplace(*extension, type);
    }
}

std::optional<bool> SoundTypeRegistryLinux::extensionIsAudioOrMovie(std::string_view extension) const
{
    const auto type = typeByExtension_.find(extension);
    if (type == typeByExtension_.end())
        return std::nullopt;
    return isAudioOrVideo(type->second);
}

} // namespace tintra
