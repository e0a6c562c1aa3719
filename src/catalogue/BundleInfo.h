#pragma once

#include "support/PropertyList.h"

#include <filesystem>
#include <optional>

namespace tintra {

// Reads the information dictionary of an application ("CFBundleShortVersionString",
// "CFBundleVersion", …): a bundle's Info.plist on macOS; on Linux the platform
// builds it from what it knows of the application (desktop entry, package).
// Main thread; nothing when there is no application, bundle or dictionary.
class BundleInfo {
public:
    virtual ~BundleInfo() = default;
    virtual std::optional<PropertyList::Dictionary> informationDictionary(const std::filesystem::path& applicationURL) const = 0;
};

} // namespace tintra
