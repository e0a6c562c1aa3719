#pragma once

#include "catalogue/DiskDescription.h"
#include "workspace/DiskArbitration.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tintra {

// Turns what the disk arbitration service knows of a disk into the
// description that disk events carry.
class TintraDiskDescriptionBuilder {
public:
    // How a value is written.
    enum class Kind { text, flag, integer, byteCount, uuid, path, data };

    struct Row {
        std::string_view label;
        DADiskDescriptionKey key;
        Kind kind;
    };

    // The labelled facts a description lists, in their order.
    static std::span<const Row> fieldTable();

    // The value written as `kind` says, or nothing when the value is of a
    // type the kind does not take or has nothing to show.
    static std::optional<std::string> format(const DADiskValue& value, Kind kind);

    static TintraDiskDescription build(const DADiskDescription& description);

    // Device, volume type, size and traits on one line:
    // "sdb1 · ext4 · 500.11 GB · USB · external · ejectable".
    static std::string summary(const DADiskDescription& description);
};

// A file path without its trailing "/"; the root "/" stays as it is.
std::string filePathWithoutTrailingSlash(const std::filesystem::path& url);

} // namespace tintra
