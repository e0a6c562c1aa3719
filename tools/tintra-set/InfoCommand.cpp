#include "InfoCommand.h"

#include "BundleInfo.h"
#include "Cli.h"
#include "catalogue/Catalogue.h"
#include "soundsets/ClassicSoundSet.h"
#include "soundsets/SoundResource.h"
#include "support/MacRoman.h"

#include <fmt/format.h>
#include <fmt/ostream.h>

namespace tintra::cli {
namespace {

// Why a sound resource gives no audio, in words for the person inspecting the file.
std::string undecodableReason(const TintraClassicSoundSet& set, std::int16_t resourceID)
{
    const auto body = set.soundBodies.find(resourceID);
    if (body == set.soundBodies.end())
        return "no such 'snd ' resource";
    if (set.compressedResourceIDs.contains(resourceID))
        return "compressed by the Resource Manager";
    const auto& bytes = body->second;
    const auto header = findSoundHeader(bytes);
    if (!header)
        return "no sampled-sound command";
    switch (bytes[*header + 20]) {
    case 0xFE:
        if (bytes.size() >= *header + 44) {
            const auto format = decodeMacRoman(std::span(bytes).subspan(*header + 40, 4));
            if (format != "ulaw")
                return fmt::format("'{}' compression is not supported", format);
        }
        return "no sample data";
    case 0x00:
    case 0xFF: return "no sample data";
    default: return "unknown sound header";
    }
}

std::string decodedText(const TintraDecodedSound& sound)
{
    const auto frames = sound.samples.size() / sound.channelCount;
    return fmt::format("yes: {} ch, {:.3f} Hz, {} frames", sound.channelCount, sound.sampleRate, frames);
}

} // namespace

int printInfo(const std::filesystem::path& path, std::ostream& out, std::ostream& err)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error) ? printBundleInfo(path, out, err) : printClassicInfo(path, out, err);
}

int printClassicInfo(const std::filesystem::path& file, std::ostream& out, std::ostream& err)
{
    const auto fork = TintraResourceFork::open(file);
    if (!fork) {
        fmt::print(err, "tintra-set: {}: {}\n", file.string(), fork.error().description());
        return exitFailure;
    }
    const auto set = parseClassicSoundSet(TintraResourceForkProvider(*fork), file.filename().string());
    fmt::print(out, "Name: {}\n", set.name);
    fmt::print(out, "Version: {}\n", set.version.value_or("-"));
    fmt::print(out, "Copyright: {}\n", set.copyright.value_or("-"));
    fmt::print(out, "Container: {}\n", containerName(fork->container()));
    std::string types;
    for (const auto& type : fork->resourceTypes())
        types += fmt::format("{}'{}' {}", types.empty() ? "" : ", ", type, fork->resourcesOfType(type).size());
    fmt::print(out, "Resource types: {}\n", types);
    if (set.resourceIDsBySoundID.empty()) {
        fmt::print(out, "Mapped sounds: none\n");
        return exitSuccess;
    }
    fmt::print(out, "Mapped sounds: {}\n", set.resourceIDsBySoundID.size());
    for (const auto& [soundID, resourceID] : set.resourceIDsBySoundID) {
        const auto name = displayName(soundID).value_or("(not a Tintra event)");
        std::optional<TintraDecodedSound> sound;
        if (const auto body = set.soundBodies.find(resourceID);
            body != set.soundBodies.end() && !set.compressedResourceIDs.contains(resourceID))
            sound = decodeSoundResource(body->second);
        std::string decodes;
        if (!sound)
            decodes = "no: " + undecodableReason(set, resourceID);
        else if (!(sound->sampleRate > 0) || sound->samples.size() < sound->channelCount)
            decodes = "no: no sample rate or no whole frame";
        else
            decodes = decodedText(*sound);
        fmt::print(out, "  {}  {:<40}  {:>6}  {}\n", soundID.description(), name, resourceID, decodes);
    }
    return exitSuccess;
}

} // namespace tintra::cli
