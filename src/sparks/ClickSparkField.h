#pragma once

#include "sparks/ClickSpark.h"
#include "sparks/SparkRandom.h"
#include "support/Geometry.h"

#include <cstddef>
#include <vector>

namespace tintra {

// The sparks of one display, oldest first, and the random source of its bursts.
struct TintraClickSparkField {
    static constexpr std::size_t capacity = 80;

    std::vector<TintraClickSpark> sparks;
    TintraSparkRandom random;

    // Empty, with a fresh seed from the system's secure random source.
    TintraClickSparkField();
    explicit TintraClickSparkField(TintraSparkRandom random);

    // Throws 6 to 9 sparks out from the point; past the capacity the oldest go.
    void burst(Point at);
    // Moves, slows, ages and retires the sparks. A long stall counts as 1/15 s.
    void advance(double dt);
    void clear() { sparks.clear(); }
    bool isEmpty() const { return sparks.empty(); }
};

} // namespace tintra
