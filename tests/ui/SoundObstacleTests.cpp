#include "ui/SoundObstacle.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tintra {
namespace {

using Case = TintraSoundObstacle::Case;

TEST(SoundObstacle, SilencedSpeaksWithItsReasonsWords)
{
    const auto obstacle = TintraSoundObstacle::silencedBy(TintraSilenceReason::videoPlayback);
    EXPECT_EQ(obstacle.label(), "A video is playing");
    EXPECT_EQ(obstacle.explanation(), explanation(TintraSilenceReason::videoPlayback));
    EXPECT_NE(obstacle, TintraSoundObstacle::silencedBy(TintraSilenceReason::focus));
    EXPECT_EQ((TintraSoundObstacle { Case::switchedOff, TintraSilenceReason::focus }),
        (TintraSoundObstacle { Case::switchedOff }));
}

TEST(SoundObstacle, EveryCaseHasItsOwnLabelAndAnExplanationThatNamesNoMacFacility)
{
    std::set<std::string> labels;
    for (auto kind : { Case::sandboxed, Case::switchedOff, Case::accessibilityNotGranted, Case::nothingToPlay,
             Case::volumeAllTheWayDown }) {
        const TintraSoundObstacle obstacle { kind };
        labels.insert(obstacle.label());
        EXPECT_FALSE(obstacle.explanation().empty());
        EXPECT_EQ(obstacle.explanation().find("macOS"), std::string::npos) << obstacle.label();
        EXPECT_EQ(obstacle.explanation().find("App Sandbox"), std::string::npos) << obstacle.label();
    }
    EXPECT_EQ(labels.size(), 5u);
    EXPECT_EQ(TintraSoundObstacle { Case::switchedOff }.label(), "Sounds are switched off");
}

} // namespace
} // namespace tintra
