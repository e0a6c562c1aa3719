#pragma once

#include "catalogue/Event.h"
#include "engine/DiskRegistry.h"
#include "workspace/VolumeNotification.h"
#include "support/Clock.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tintra {

// The "Disk Mounted" event, with the description taken now and kept for the
// eject; nothing for a local snapshot mount, which is not the user's disk.
std::optional<TintraEvent> volumeDidMount(TintraDiskRegistry& disks, const VolumeNotification& notification,
    WallTime now);

// The "Disk Ejected" event, with the description kept since the mount;
// nothing for a local snapshot mount.
std::optional<TintraEvent> volumeDidUnmount(TintraDiskRegistry& disks, const VolumeNotification& notification,
    WallTime now);

// Time Machine's local snapshots, mounted and unmounted in the background.
bool isLocalSnapshotMount(const std::filesystem::path& volumeURL);

} // namespace tintra
