#include "ui/EventRowOptions.h"

#include "soundsets/Assignments.h"
#include "soundsets/PathName.h"

namespace tintra {

std::vector<TintraRowOption> rowOptions(TintraSoundID soundID, const TintraAssignments& assignments,
    const TintraLibrary& library)
{
    std::vector<TintraRowOption> options;
    const auto* baseline = library.bundle(assignments.baselineIdentifier().get());
    options.push_back({ TintraSelection::baseline(),
        baseline ? "Same as Sound Set (" + baseline->metadata().name + ")" : "Same as Sound Set" });
    for (const auto& bundle : library.bundles().get())
        options.push_back({ TintraSelection::set(bundle.metadata().identifier),
            bundle.metadata().name + (bundle.contains(soundID) ? "" : " (no sound)") });
    const auto& customSounds = assignments.customSounds().get();
    if (const auto custom = customSounds.find(soundID); custom != customSounds.end()) {
        std::error_code error;
        const bool isMissing = !std::filesystem::exists(custom->second.url, error);
        options.push_back({ TintraSelection::custom(custom->second.url),
            lastPathComponent(custom->second.url) + (isMissing ? " (missing)" : "") });
    }
    options.push_back({ TintraSelection::silent(), "None" });
    options.push_back({ std::nullopt, std::string(chooseCustomSoundTitle) });
    return options;
}

} // namespace tintra
