#pragma once

#include "sparks/ClickSpark.h"

#include <array>
#include <cstddef>
#include <optional>

namespace tintra {

// What the shaders read for one spark. The vertex stage takes it as per-instance
// attributes at these offsets (vec2, vec2, vec4, then four floats), so the
// layout is fixed below.
struct TintraClickSparkInstance {
    std::array<float, 2> position;
    std::array<float, 2> halfSize;
    std::array<float, 4> color; // premultiplied by alpha
    float rotation;
    float cornerRadius;
    float edgeSoftness;
    float strokeWidth;

    bool operator==(const TintraClickSparkInstance&) const = default;
};

static_assert(sizeof(TintraClickSparkInstance) == 48);
static_assert(offsetof(TintraClickSparkInstance, position) == 0);
static_assert(offsetof(TintraClickSparkInstance, halfSize) == 8);
static_assert(offsetof(TintraClickSparkInstance, color) == 16);
static_assert(offsetof(TintraClickSparkInstance, rotation) == 32);
static_assert(offsetof(TintraClickSparkInstance, cornerRadius) == 36);
static_assert(offsetof(TintraClickSparkInstance, edgeSoftness) == 40);
static_assert(offsetof(TintraClickSparkInstance, strokeWidth) == 44);

// The record to draw, or nothing while the spark is too faint or too small to see.
std::optional<TintraClickSparkInstance> instance(const TintraClickSpark& spark);
bool isVisible(const TintraClickSpark& spark);

} // namespace tintra
