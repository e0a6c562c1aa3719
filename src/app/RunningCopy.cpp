#include "app/RunningCopy.h"

#include "platform/linux/files/ReadOnlyVolumes.h"

namespace fs = std::filesystem;

namespace tintra {

TintraRunningCopy runningCopy(const fs::path& executable, const ProcessEnvironment& environment,
    const TintraRelocation::Folders& destinations)
{
    if (const auto image = environment.find("APPIMAGE"); image != environment.end() && !image->second.empty()) {
        const fs::path file = fs::weakly_canonical(image->second);
        const bool settled = file.parent_path() == destinations.applications || file.parent_path() == destinations.userData;
        return { file, file, settled ? TintraBundleLocation::acceptable : TintraBundleLocation::diskImage, true };
    }
    const auto bin = executable.parent_path();
    const auto bundle = bin.filename() == "bin" ? bin.parent_path() : executable;
    // Packages and snaps stay where their manager put them, read-only system images included.
    const auto path = executable.string();
    const bool managed = path.starts_with("/usr/") || path.starts_with("/snap/");
    const bool onImage = !managed && liesOnReadOnlyImage(executable);
    return { bundle, executable, onImage ? TintraBundleLocation::diskImage : TintraBundleLocation::acceptable,
        liesOnReadOnlyVolume(executable) };
}

} // namespace tintra
