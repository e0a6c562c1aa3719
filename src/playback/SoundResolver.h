#pragma once

#include "catalogue/SoundID.h"

#include <filesystem>
#include <optional>

namespace tintra {

// Which file plays for a sound code, by the user's assignments and the
// installed sets, evaluated afresh at each call (a custom file that has gone
// away resolves to nothing). Main thread only; never fails.
class SoundResolver {
public:
    virtual ~SoundResolver() = default;

    virtual std::optional<std::filesystem::path> resolvedURL(TintraSoundID soundID) const = 0;
};

} // namespace tintra
