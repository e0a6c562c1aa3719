#include "BundleInfo.h"

#include "Cli.h"
#include "catalogue/Catalogue.h"
#include "platform/linux/files/SoundTypeRegistryLinux.h"
#include "soundsets/Bundle.h"

#include <fmt/format.h>
#include <fmt/ostream.h>
#include <fmt/ranges.h>

namespace tintra::cli {

int printBundleInfo(const std::filesystem::path& url, std::ostream& out, std::ostream& err)
{
    const SoundTypeRegistryLinux registry;
    const auto bundle = loadBundle(url, false, registry);
    if (!bundle) {
        fmt::print(err, "tintra-set: {}\n", bundle.error().description());
        return exitFailure;
    }
    const auto& metadata = bundle->metadata();
    fmt::print(out, "Name: {}\n", metadata.name);
    fmt::print(out, "Identifier: {}\n", metadata.identifier);
    fmt::print(out, "Version: {}\n", metadata.version.value_or("-"));
    fmt::print(out, "Author: {}\n", metadata.author.value_or("-"));
    fmt::print(out, "Copyright: {}\n", metadata.copyright.value_or("-"));
    fmt::print(out, "Format version: {}\n", metadata.formatVersion);

    const auto resources = url / "Contents" / "Resources";
    fmt::print(out, "Sounds: {}\n", bundle->soundURLsByID().size());
    for (const auto& [soundID, file] : bundle->soundURLsByID())
        fmt::print(out, "  {}  {:<40}  {}\n", soundID.description(), displayName(soundID).value_or(""),
            file.lexically_relative(resources).string());

    fmt::print(out, "Unmatched files: {}\n", bundle->unmatchedResourceNames().size());
    for (const auto& name : bundle->unmatchedResourceNames())
        fmt::print(out, "  {}\n", name);

    fmt::print(out, "Collisions: {}\n", bundle->baseNameCollisions().size());
    for (const auto& [baseName, names] : bundle->baseNameCollisions())
        fmt::print(out, "  {}: {}\n", baseName, fmt::join(names, ", "));
    return exitSuccess;
}

} // namespace tintra::cli
