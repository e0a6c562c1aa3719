#include "catalogue/ApplicationDescription.h"

#include "catalogue/BundleInfo.h"

namespace tintra {

std::optional<std::string> applicationVersion(const std::optional<std::string>& shortVersion,
    const std::optional<std::string>& buildVersion)
{
    if (shortVersion && buildVersion && *shortVersion != *buildVersion)
        return *shortVersion + " (" + *buildVersion + ")";
    return shortVersion ? shortVersion : buildVersion;
}

TintraApplicationDescription describeApplication(std::optional<std::string> bundleIdentifier,
    const std::optional<std::filesystem::path>& bundleURL, const std::optional<std::filesystem::path>& executableURL,
    const BundleInfo& bundleInfo)
{
    TintraApplicationDescription description { std::move(bundleIdentifier), bundleURL ? bundleURL : executableURL, std::nullopt };
    if (!description.fileURL)
        return description;
    const auto info = bundleInfo.informationDictionary(*description.fileURL);
    if (!info)
        return description;
    // A value that is not text counts as absent.
    const auto text = [&](std::string_view key) -> std::optional<std::string> {
        const auto found = info->find(key);
        if (found == info->end() || !found->second.asString())
            return std::nullopt;
        return *found->second.asString();
    };
    description.version = applicationVersion(text("CFBundleShortVersionString"), text("CFBundleVersion"));
    return description;
}

} // namespace tintra
