#include "fakes/DiskArbitrationFake.h"

#include "engine/DiskRegistry.h"

#include <algorithm>

namespace tintra {

std::optional<DADiskDescription> DiskArbitrationFake::copyDescription(const std::filesystem::path& volumeURL)
{
    ++descriptionRequests_;
    const auto found = descriptions_.find(volumePath(volumeURL));
    if (!reachable_ || found == descriptions_.end())
        return std::nullopt;
    return found->second;
}

void DiskArbitrationFake::mount(const std::filesystem::path& volumeURL, DADiskDescription description)
{
    mounted_.push_back(volumeURL);
    descriptions_[volumePath(volumeURL)] = std::move(description);
}

void DiskArbitrationFake::unmount(const std::filesystem::path& volumeURL)
{
    std::erase_if(mounted_, [&](const auto& url) { return volumePath(url) == volumePath(volumeURL); });
    descriptions_.erase(volumePath(volumeURL));
}

} // namespace tintra
