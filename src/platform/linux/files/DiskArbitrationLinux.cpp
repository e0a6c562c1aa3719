#include "platform/linux/files/DiskArbitrationLinux.h"

#include "platform/linux/files/MountTable.h"
#include "support/MainThread.h"

#include <glib.h>
#include <libudev.h>

#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>

namespace tintra {

namespace {

struct UdevDeviceUnref {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};
using UdevDevice = std::unique_ptr<udev_device, UdevDeviceUnref>;

constexpr std::array<std::string_view, 8> networkFileSystems { "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "fuse.sshfs", "fuse.rclone" };

std::optional<std::string> property(udev_device* device, const char* name)
{
    const char* value = device ? udev_device_get_property_value(device, name) : nullptr;
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

std::optional<std::int64_t> sysfsNumber(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::int64_t value = 0;
    if (!(in >> value))
        return std::nullopt;
    return value;
}

// "8:17" as its major and minor numbers.
std::optional<std::pair<unsigned, unsigned>> deviceNumbers(const std::string& device)
{
    unsigned major = 0;
    unsigned minor = 0;
    const auto colon = device.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const auto* end = device.data() + device.size();
    if (std::from_chars(device.data(), device.data() + colon, major).ec != std::errc {}
        || std::from_chars(device.data() + colon + 1, end, minor).ec != std::errc {})
        return std::nullopt;
    return std::pair { major, minor };
}

} // namespace

std::optional<DAUUID> parseUUID(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    DAUUID uuid;
    std::size_t byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        unsigned value = 0;
        if (std::from_chars(text.data() + i, text.data() + i + 2, value, 16).ptr != text.data() + i + 2)
            return std::nullopt;
        uuid.bytes[byte++] = static_cast<std::uint8_t>(value);
        i += 2;
    }
    return uuid;
}

struct DiskArbitrationLinux::Udev {
    udev* context = udev_new();
    ~Udev()
    {
        if (context)
            udev_unref(context);
    }
};

DiskArbitrationLinux::DiskArbitrationLinux()
    : udev_(std::make_unique<Udev>())
{
}

DiskArbitrationLinux::~DiskArbitrationLinux() = default;

std::optional<DADiskDescription> DiskArbitrationLinux::copyDescription(const std::filesystem::path& volumeURL)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto table = readMountTable();
    // The last mount on a folder is the one that shows.
    const auto found = std::find_if(table.rbegin(), table.rend(), [&](const MountEntry& entry) {
        return entry.mountPoint == volumeURL.lexically_normal();
    });
    if (found == table.rend())
        return std::nullopt;
    const MountEntry& entry = *found;

    DADiskDescription description;
    description[DADiskDescriptionKey::volumePath] = entry.mountPoint;
    description[DADiskDescriptionKey::volumeKind] = entry.fileSystem;
    description[DADiskDescriptionKey::volumeMountable] = true;
    description[DADiskDescriptionKey::volumeNetwork]
        = std::find(networkFileSystems.begin(), networkFileSystems.end(), entry.fileSystem) != networkFileSystems.end();
    description[DADiskDescriptionKey::mediaWritable] = !entry.readOnly;
    struct statvfs space {};
    if (statvfs(entry.mountPoint.c_str(), &space) == 0) {
        description[DADiskDescriptionKey::mediaSize] = std::int64_t(space.f_blocks) * std::int64_t(space.f_frsize);
        description[DADiskDescriptionKey::mediaBlockSize] = std::int64_t(space.f_frsize);
    }

    UdevDevice device;
    if (const auto numbers = deviceNumbers(entry.device)) {
        description[DADiskDescriptionKey::mediaBSDMajor] = std::int64_t(numbers->first);
        description[DADiskDescriptionKey::mediaBSDMinor] = std::int64_t(numbers->second);
        if (udev_->context)
            device.reset(udev_device_new_from_devnum(udev_->context, 'b', makedev(numbers->first, numbers->second)));
    }
    if (device) {
        const std::filesystem::path sysfs = udev_device_get_syspath(device.get());
        if (const char* name = udev_device_get_sysname(device.get()))
            description[DADiskDescriptionKey::mediaBSDName] = std::string(name);
        const bool partition = std::filesystem::exists(sysfs / "partition");
        description[DADiskDescriptionKey::mediaWhole] = !partition;
        // The kernel counts a block device's size in 512-byte sectors.
        if (const auto sectors = sysfsNumber(sysfs / "size"))
            description[DADiskDescriptionKey::mediaSize] = *sectors * 512;
        const bool removable = isRemovableDevice(entry.device);
        description[DADiskDescriptionKey::mediaRemovable] = removable;
        description[DADiskDescriptionKey::mediaEjectable] = removable;
        if (const auto vendor = property(device.get(), "ID_VENDOR"))
            description[DADiskDescriptionKey::deviceVendor] = *vendor;
        if (const auto model = property(device.get(), "ID_MODEL")) {
            description[DADiskDescriptionKey::deviceModel] = *model;
            description[DADiskDescriptionKey::mediaName] = *model;
        }
        if (const auto revision = property(device.get(), "ID_REVISION"))
            description[DADiskDescriptionKey::deviceRevision] = *revision;
        if (const auto bus = property(device.get(), "ID_BUS")) {
            description[DADiskDescriptionKey::deviceProtocol] = *bus;
            description[DADiskDescriptionKey::busName] = *bus;
            description[DADiskDescriptionKey::deviceInternal] = !removable && *bus != "usb";
        }
        if (const auto label = property(device.get(), "ID_FS_LABEL"))
            description[DADiskDescriptionKey::volumeName] = *label;
        if (const auto uuid = property(device.get(), "ID_FS_UUID"); uuid && parseUUID(*uuid))
            description[DADiskDescriptionKey::volumeUUID] = *parseUUID(*uuid);
        if (const auto uuid = property(device.get(), "ID_PART_ENTRY_UUID"); uuid && parseUUID(*uuid))
            description[DADiskDescriptionKey::mediaUUID] = *parseUUID(*uuid);
        if (const auto path = property(device.get(), "ID_PATH"))
            description[DADiskDescriptionKey::mediaPath] = *path;
    }
    if (!description.contains(DADiskDescriptionKey::volumeName))
        description[DADiskDescriptionKey::volumeName] = entry.mountPoint.filename().string();
    return description;
}

std::vector<std::filesystem::path> DiskArbitrationLinux::mountedVolumeURLs()
{
    TINTRA_ASSERT_MAIN_THREAD();
    const std::filesystem::path home = g_get_home_dir();
    std::vector<std::filesystem::path> volumes;
    for (const auto& entry : readMountTable()) {
        if (isUserVolume(entry, home) && std::find(volumes.begin(), volumes.end(), entry.mountPoint) == volumes.end())
            volumes.push_back(entry.mountPoint);
    }
    return volumes;
}

} // namespace tintra
