#pragma once

#include "workspace/DiskArbitration.h"

#include <map>
#include <string>

namespace tintra {

// Volumes the test mounts, listed in mount order and described by the
// dictionary given. An unmounted volume is unknown to the service, as a real
// one is once it has gone. `setReachable(false)` makes every description nothing.
class DiskArbitrationFake final : public DiskArbitration {
public:
    std::optional<DADiskDescription> copyDescription(const std::filesystem::path& volumeURL) override;
    std::vector<std::filesystem::path> mountedVolumeURLs() override { return mounted_; }

    void mount(const std::filesystem::path& volumeURL, DADiskDescription description);
    void unmount(const std::filesystem::path& volumeURL);
    void setReachable(bool reachable) { reachable_ = reachable; }

    int descriptionRequests() const { return descriptionRequests_; }

private:
    std::vector<std::filesystem::path> mounted_;
    std::map<std::string, DADiskDescription> descriptions_;
    bool reachable_ = true;
    int descriptionRequests_ = 0;
};

} // namespace tintra
