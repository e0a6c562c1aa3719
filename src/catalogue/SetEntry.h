#pragma once

#include "catalogue/SoundCategory.h"
#include "catalogue/SoundFlags.h"
#include "catalogue/SoundID.h"

#include <string_view>

namespace tintra {

// One catalogue row. The catalogue is compiled in, so the file name is a view
// of static text.
struct TintraSetEntry {
    TintraSoundID soundID;
    std::string_view fileName;
    TintraSoundCategory category = TintraSoundCategory::window;
    TintraSoundFlags flags;
    double volume = 1.0;

    friend bool operator==(const TintraSetEntry&, const TintraSetEntry&) = default;
};

} // namespace tintra
