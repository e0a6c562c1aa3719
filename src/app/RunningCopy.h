#pragma once

#include "app/Relocation.h"

#include <filesystem>

namespace tintra {

// The copy of the program that runs, as the relocation sees it: an AppImage's
// file (the image is mounted read-only while it runs), else the install prefix
// around bin/, else the program file itself.
struct TintraRunningCopy {
    std::filesystem::path bundleURL;
    // The file that starts this copy: the AppImage, else the program file.
    std::filesystem::path program;
    TintraBundleLocation location = TintraBundleLocation::acceptable;
    bool isOnReadOnlyVolume = false;
};

// An AppImage is fine once it lies in one of the folders a copy would go to;
// anything else counts as a disk image when it runs from a read-only image
// outside what a package manager owns.
// Linux never translocates.
TintraRunningCopy runningCopy(const std::filesystem::path& executable, const ProcessEnvironment& environment,
    const TintraRelocation::Folders& destinations);

} // namespace tintra
