#pragma once

#include "sparks/ClickSparkOverlay.h"

#include <vector>

namespace tintra {

// Records the sparks asked for; clearing empties the list and is counted.
class ClickSparkOverlayFake final : public TintraClickSparkOverlay {
public:
    void spark(Point at) override { sparks.push_back(at); }
    void clearAll() override
    {
        sparks.clear();
        ++clearCount;
    }

    std::vector<Point> sparks;
    int clearCount = 0;
};

} // namespace tintra
