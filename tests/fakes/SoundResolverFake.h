#pragma once

#include "playback/SoundResolver.h"

#include <map>

namespace tintra {

// A file per sound code as the test assigns it; unassigned codes resolve to
// nothing. Counts questions, as resolving is done afresh at every use.
class SoundResolverFake final : public SoundResolver {
public:
    std::map<TintraSoundID, std::filesystem::path> files;
    mutable int questions = 0;

    std::optional<std::filesystem::path> resolvedURL(TintraSoundID soundID) const override
    {
        ++questions;
        const auto found = files.find(soundID);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    }
};

} // namespace tintra
