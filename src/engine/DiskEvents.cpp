#include "engine/DiskEvents.h"

#include "soundsets/PathName.h"

#include <string_view>

namespace tintra {
namespace {

std::optional<std::string> volumeName(const VolumeNotification& notification)
{
    if (notification.localizedVolumeName && !notification.localizedVolumeName->empty())
        return notification.localizedVolumeName;
    if (!notification.volumeURL)
        return std::nullopt;
    auto name = lastPathComponent(*notification.volumeURL);
    if (name.empty())
        return std::nullopt;
    return name;
}

TintraEvent diskEvent(std::string notificationName, TintraSoundID soundID, const VolumeNotification& notification,
    std::optional<TintraDiskDescription> disk, WallTime now)
{
    auto name = volumeName(notification);
    if (!name && disk)
        name = disk->volumeName;
    TintraEvent event;
    event.notificationName = std::move(notificationName);
    event.soundID = soundID;
    event.processIdentifier = 0;
    event.applicationName = name;
    event.detail = name;
    event.date = now;
    event.origin = TintraEventOrigin::system;
    event.disk = std::move(disk);
    return event;
}

bool isAboutLocalSnapshot(const VolumeNotification& notification)
{
    return notification.volumeURL && isLocalSnapshotMount(*notification.volumeURL);
}

} // namespace

std::optional<TintraEvent> volumeDidMount(TintraDiskRegistry& disks, const VolumeNotification& notification,
    WallTime now)
{
    if (isAboutLocalSnapshot(notification))
        return std::nullopt;
    return diskEvent("Disk Mounted", TintraSoundID("dski"), notification, disks.describe(notification.volumeURL), now);
}

std::optional<TintraEvent> volumeDidUnmount(TintraDiskRegistry& disks, const VolumeNotification& notification,
    WallTime now)
{
    if (isAboutLocalSnapshot(notification))
        return std::nullopt;
    return diskEvent("Disk Ejected", TintraSoundID("dske"), notification, disks.takeDescription(notification.volumeURL),
        now);
}

bool isLocalSnapshotMount(const std::filesystem::path& volumeURL)
{
    constexpr std::string_view snapshots = "/Volumes/com.apple.TimeMachine.localsnapshots/";
    return volumeURL.lexically_normal().string().starts_with(snapshots);
}

} // namespace tintra
