#pragma once

#include "playback/SoundResolver.h"
#include "soundsets/Assignments.h"
#include "soundsets/Library.h"

namespace tintra {

// The player's files: the user's assignments over the installed sets.
class AssignedSoundResolver final : public SoundResolver {
public:
    AssignedSoundResolver(const TintraAssignments& assignments, const TintraLibrary& library)
        : assignments_(assignments), library_(library)
    {
    }

    std::optional<std::filesystem::path> resolvedURL(TintraSoundID soundID) const override
    {
        return assignments_.resolvedURL(soundID, library_);
    }

private:
    const TintraAssignments& assignments_;
    const TintraLibrary& library_;
};

} // namespace tintra
