#pragma once

#include "catalogue/DiskDescription.h"
#include "workspace/DiskArbitration.h"

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tintra {

// The descriptions of the mounted volumes, taken while each volume is there
// so that its eject can still be described once it has gone. Keyed by volume
// path, at most `capacity` of them, the oldest dropped first.
//
// Main thread only.
class TintraDiskRegistry {
public:
    using Describe = std::function<std::optional<TintraDiskDescription>(const std::filesystem::path& volumeURL)>;

    static constexpr std::size_t capacity = 64;

    explicit TintraDiskRegistry(DiskArbitration& service);
    TintraDiskRegistry(const TintraDiskRegistry&) = delete;
    TintraDiskRegistry& operator=(const TintraDiskRegistry&) = delete;

    // Asked before the service when set; absent in normal operation.
    Describe describeHook;

    // For a volume that mounted: its description, registered when it has fields.
    std::optional<TintraDiskDescription> describe(const std::optional<std::filesystem::path>& volumeURL);
    // For a volume that left: the description registered for it, removed from
    // the registry; or, when none was, what can still be learnt of it.
    std::optional<TintraDiskDescription> takeDescription(const std::optional<std::filesystem::path>& volumeURL);
    // Registers every volume mounted now; called once when observation starts.
    void registerMountedVolumes();

    const std::map<std::string, TintraDiskDescription>& descriptions() const { return descriptions_; }
    // Volume paths, oldest first.
    const std::deque<std::string>& order() const { return order_; }

private:
    std::optional<TintraDiskDescription> lookUp(const std::filesystem::path& volumeURL);
    void add(const std::filesystem::path& volumeURL, TintraDiskDescription description);

    DiskArbitration& service_;
    std::map<std::string, TintraDiskDescription> descriptions_;
    std::deque<std::string> order_;
};

// The registry's key: the standardized path without its trailing "/", so that
// /Volumes/Data/ and /Volumes/Data name one volume; the root "/" stays.
std::string volumePath(const std::filesystem::path& volumeURL);

} // namespace tintra
