#include "engine/DiskRegistry.h"

#include "engine/DiskDescriptionBuilder.h"

#include <algorithm>

namespace tintra {

TintraDiskRegistry::TintraDiskRegistry(DiskArbitration& service) : service_(service) {}

std::optional<TintraDiskDescription> TintraDiskRegistry::describe(const std::optional<std::filesystem::path>& volumeURL)
{
    if (!volumeURL)
        return std::nullopt;
    auto description = lookUp(*volumeURL);
    if (description)
        add(*volumeURL, *description);
    return description;
}

std::optional<TintraDiskDescription> TintraDiskRegistry::takeDescription(
    const std::optional<std::filesystem::path>& volumeURL)
{
    if (!volumeURL)
        return std::nullopt;
    const auto path = volumePath(*volumeURL);
    if (auto found = descriptions_.find(path); found != descriptions_.end()) {
        auto description = std::move(found->second);
        descriptions_.erase(found);
        std::erase(order_, path);
        return description;
    }
    return lookUp(*volumeURL);
}

void TintraDiskRegistry::registerMountedVolumes()
{
    for (const auto& volumeURL : service_.mountedVolumeURLs())
        describe(volumeURL);
}

std::optional<TintraDiskDescription> TintraDiskRegistry::lookUp(const std::filesystem::path& volumeURL)
{
    auto description = describeHook ? describeHook(volumeURL) : std::nullopt;
    if (!description) {
        if (const auto facts = service_.copyDescription(volumeURL))
            description = TintraDiskDescriptionBuilder::build(*facts);
    }
    if (!description || description->fields.empty())
        return std::nullopt;
    return description;
}

void TintraDiskRegistry::add(const std::filesystem::path& volumeURL, TintraDiskDescription description)
{
    auto path = volumePath(volumeURL);
    // A volume mounted again at the same place keeps its place in the order,
    // so that one path never holds two.
    if (!descriptions_.contains(path))
        order_.push_back(path);
    descriptions_.insert_or_assign(std::move(path), std::move(description));
    while (order_.size() > capacity) {
        descriptions_.erase(order_.front());
        order_.pop_front();
    }
}

std::string volumePath(const std::filesystem::path& volumeURL)
{
    return filePathWithoutTrailingSlash(volumeURL.lexically_normal());
}

} // namespace tintra
