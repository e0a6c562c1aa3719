#pragma once

#include "support/Bytes.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tintra {

// The disk arbitration service's description keys, named after the service's
// own without prefix and suffix (kDADiskDescriptionVolumeNameKey is volumeName).
enum class DADiskDescriptionKey {
    volumeName,
    volumePath,
    volumeKind,
    volumeType,
    volumeUUID,
    volumeMountable,
    volumeNetwork,
    mediaBSDName,
    mediaBSDMajor,
    mediaBSDMinor,
    mediaBSDUnit,
    mediaName,
    mediaKind,
    mediaType,
    mediaSize,
    mediaBlockSize,
    mediaContent,
    mediaUUID,
    mediaWhole,
    mediaLeaf,
    mediaRemovable,
    mediaEjectable,
    mediaWritable,
    mediaEncrypted,
    mediaEncryptionDetail,
    repairRunning,
    mediaPath,
    deviceVendor,
    deviceModel,
    deviceRevision,
    deviceProtocol,
    deviceInternal,
    deviceUnit,
    deviceGUID,
    deviceTDMLocked,
    devicePath,
    busName,
    busPath,
};

struct DAUUID {
    std::array<std::uint8_t, 16> bytes {};
    friend bool operator==(const DAUUID&, const DAUUID&) = default;
};

// One value as the service reports it: text, a flag, a number, a UUID, a
// location or raw bytes. Nothing guarantees that a key holds the type its
// meaning suggests.
using DADiskValue = std::variant<std::string, bool, std::int64_t, DAUUID, std::filesystem::path, Bytes>;

// What the service knows of one disk; a key it does not know is absent.
using DADiskDescription = std::map<DADiskDescriptionKey, DADiskValue>;

// The platform's disk arbitration service, with the file manager's list of
// mounted volumes.
//
// Main thread only; every call is synchronous. The implementation connects to
// the service on first use and keeps the connection, also when it could not
// be made, after which every description is nothing.
class DiskArbitration {
public:
    virtual ~DiskArbitration() = default;

    // The description of the disk mounted at `volumeURL`; nothing when the
    // service cannot be reached or does not know the volume.
    virtual std::optional<DADiskDescription> copyDescription(const std::filesystem::path& volumeURL) = 0;
    // Every mounted volume, hidden ones left out.
    virtual std::vector<std::filesystem::path> mountedVolumeURLs() = 0;
};

} // namespace tintra
