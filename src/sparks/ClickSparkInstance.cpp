#include "sparks/ClickSparkInstance.h"

#include <algorithm>
#include <cmath>

namespace tintra {

namespace {

struct Appearance {
    double shrink;
    double alpha;
};

Appearance appearance(const TintraClickSpark& spark)
{
    if (spark.lifetime <= 0)
        return { 0.68, 0 };
    const double p = spark.age / spark.lifetime;
    const double q = std::clamp(p, 0.0, 1.0);
    const double fadeIn = p > 1 ? 1 : p > 0 ? std::min(p / 0.09, 1.0) : 0;
    return { 1 - 0.32 * q, 0.85 * fadeIn * std::pow(1 - q, 1.7) };
}

bool isDrawn(const Appearance& look, double size)
{
    return look.alpha > 0.004 && size > 0;
}

} // namespace

std::optional<TintraClickSparkInstance> instance(const TintraClickSpark& spark)
{
    const Appearance look = appearance(spark);
    const double size = spark.edge * look.shrink;
    if (!isDrawn(look, size))
        return std::nullopt;
    const double alpha = look.alpha;
    const auto f = [](double value) { return static_cast<float>(value); };
    return TintraClickSparkInstance {
        { f(spark.position.x), f(spark.position.y) },
        { f(size / 2), f(size / 2) },
        { f(spark.color.red * alpha), f(spark.color.green * alpha), f(spark.color.blue * alpha), f(alpha) },
        f(spark.rotation),
        f(std::min(size * 0.5, size * 0.22)),
        f(std::max(size * 0.03, 0.75)),
        f(std::min(size * 0.5, spark.strokeWidth)),
    };
}

bool isVisible(const TintraClickSpark& spark)
{
    const Appearance look = appearance(spark);
    return isDrawn(look, spark.edge * look.shrink);
}

} // namespace tintra
