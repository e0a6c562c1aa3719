#include "sparks/ClickSparkField.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tintra {

namespace {

constexpr double dragRate = 3.4;
constexpr double longestStep = 1.0 / 15;

} // namespace

TintraClickSparkField::TintraClickSparkField()
    : TintraClickSparkField(TintraSparkRandom::seeded())
{
}

TintraClickSparkField::TintraClickSparkField(TintraSparkRandom random)
    : random(random)
{
    sparks.reserve(capacity + 9);
}

void TintraClickSparkField::burst(Point at)
{
    const auto count = static_cast<int>(6 + random.integerBelow(4));
    const double base = random.angle();
    const auto colorOffset = static_cast<int>(random.integerBelow(8));
    const auto strokeOffset = static_cast<int>(random.integerBelow(3));
    const double slice = 2 * std::numbers::pi / count;
    for (int i = 0; i < count; ++i) {
        const double angle = base + slice * i + random.closedRange(-slice / 3, slice / 3);
        const double speed = random.closedRange(110, 280);
        const double edge = random.closedRange(12, 28);
        const double offset = random.closedRange(2, 9);
        const double rotation = random.angle();
        const double spin = random.closedRange(-2.6, 2.6);
        const TintraClickSparkColor color = clickSparkPalette[static_cast<std::size_t>((colorOffset + i) % 8)];
        const double lifetime = random.closedRange(0.55, 0.85);
        const double cosine = std::cos(angle);
        const double sine = std::sin(angle);
        sparks.push_back({
            .position = { at.x + cosine * offset, at.y + sine * offset },
            .velocity = { speed * cosine, speed * sine },
            .edge = edge,
            .rotation = rotation,
            .spin = spin,
            .color = color,
            .strokeWidth = (i + strokeOffset) % 3 == 0 ? std::max(edge * 0.1, 1.5) : 0,
            .age = 0,
            .lifetime = lifetime,
        });
    }
    if (sparks.size() > capacity)
        sparks.erase(sparks.begin(), sparks.end() - capacity);
}

void TintraClickSparkField::advance(double dt)
{
    if (!(dt > 0) || sparks.empty())
        return;
    const double h = std::min(dt, longestStep);
    const double decay = std::exp(-dragRate * h);
    const double reach = (1 - decay) / dragRate;
    for (auto& spark : sparks) {
        spark.position.x += spark.velocity.dx * reach;
        spark.position.y += spark.velocity.dy * reach;
        spark.velocity.dx *= decay;
        spark.velocity.dy *= decay;
        spark.rotation += spark.spin * h;
        spark.age += h;
    }
    std::erase_if(sparks, [](const TintraClickSpark& spark) { return !(spark.age < spark.lifetime); });
}

} // namespace tintra
