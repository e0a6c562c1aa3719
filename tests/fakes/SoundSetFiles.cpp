#include "fakes/SoundSetFiles.h"

#include <sndfile.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tintra::testing {

namespace fs = std::filesystem;

void writeSound(const fs::path& file, int frames)
{
    const std::string extension = file.extension().string();
    const bool aiff = extension == ".aif" || extension == ".aiff" || extension == ".AIFF";
    SF_INFO info {};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = (aiff ? SF_FORMAT_AIFF : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    SNDFILE* sound = sf_open(file.c_str(), SFM_WRITE, &info);
    if (!sound)
        throw std::runtime_error("cannot write " + file.string() + ": " + sf_strerror(nullptr));
    std::vector<short> samples(static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(i * 1000);
    sf_writef_short(sound, samples.data(), frames);
    sf_close(sound);
}

void writeText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::string contentsOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBundle(const fs::path& bundle, const PropertyList::Dictionary& info, const std::vector<std::string>& soundNames)
{
    fs::create_directories(bundle / "Contents" / "Resources");
    writeText(bundle / "Contents" / "Info.plist", *writePropertyListXML(PropertyList(info)));
    for (const auto& name : soundNames)
        writeSound(bundle / "Contents" / "Resources" / name);
}

void writeBundle(const fs::path& bundle, const std::string& identifier, const std::string& name,
    const std::vector<std::string>& soundNames)
{
    writeBundle(bundle, PropertyList::Dictionary { { "CFBundleIdentifier", identifier }, { "CFBundleName", name } },
        soundNames);
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entries(folder, error); !error && entries != fs::directory_iterator();
         entries.increment(error))
        names.push_back(entries->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tintra::testing
