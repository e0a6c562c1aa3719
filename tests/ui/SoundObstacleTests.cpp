#include "ui/Sandbox.h"
#include "ui/SoundObstacle.h"
#include "ui/StatusSummary.h"

#include "fakes/ControllerRig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

namespace tintra {
namespace {

using Case = TintraSoundObstacle::Case;
using std::chrono::seconds;

// A controller on the fakes whose every condition a test can spoil.
struct StatusSummaryTest : ::testing::Test {
    testing::ControllerRig rig;
    TintraController& controller = rig.make();
    TintraProcessAccess access { .isSandboxed = false, .isAccessibilityTrusted = true };

    void installSounds()
    {
        rig.installSet("classic", { TintraSoundID("mnuo"), TintraSoundID::login });
        controller.reloadLibrary();
    }
    void hold(TintraSilenceReason reason)
    {
        rig.silence->setEnabled(true, reason);
        rig.holding.insert(reason);
        rig.run(seconds(1)); // past the monitor's half-second answer
    }
    std::optional<TintraSoundObstacle> obstacle() { return currentObstacle(controller, *rig.silence, access); }
};

TEST_F(StatusSummaryTest, TheFirstObstacleInOrderWins)
{
    access = { .isSandboxed = true, .isAccessibilityTrusted = false };
    EXPECT_EQ(obstacle(), TintraSoundObstacle { Case::sandboxed }) << "over switched off and no sound sets";

    access.isSandboxed = false;
    EXPECT_EQ(obstacle(), TintraSoundObstacle { Case::switchedOff }) << "over no accessibility access";

    controller.start();
    EXPECT_EQ(obstacle(), TintraSoundObstacle { Case::accessibilityNotGranted });

    access.isAccessibilityTrusted = true;
    hold(TintraSilenceReason::videoPlayback);
    EXPECT_EQ(obstacle(), TintraSoundObstacle { Case::nothingToPlay }) << "over a silence reason";

    installSounds();
    controller.player().setMasterVolume(0.0);
    EXPECT_EQ(obstacle(), TintraSoundObstacle { Case::volumeAllTheWayDown }) << "over a silence reason";

    controller.player().setMasterVolume(0.5);
    EXPECT_EQ(obstacle(), TintraSoundObstacle::silencedBy(TintraSilenceReason::videoPlayback));

    rig.holding.clear();
    rig.run(seconds(1));
    EXPECT_EQ(obstacle(), std::nullopt);
}

TEST_F(StatusSummaryTest, ThePlayersOwnSwitchesAreNotConsulted)
{
    controller.start();
    installSounds();
    controller.player().setEnabled(false);
    controller.player().setEnabledCategories({});
    EXPECT_EQ(obstacle(), std::nullopt);
}

TEST_F(StatusSummaryTest, WithNothingInTheWayThePictureIsAudibleAndTheLineCountsWhatWillPlay)
{
    controller.start();
    installSounds();
    const auto current = obstacle();
    const auto label = TintraMenuBarLabel::of(current);
    EXPECT_EQ(label.imageName, "MenuBarAudible");
    EXPECT_EQ(label.accessibilityLabel, "Tintra Dorvel, playing sounds");
    const auto line = TintraMenuBarStatusLine::of(current, controller.player().playableSoundCount());
    EXPECT_EQ(line.text, "2 events will play");
    EXPECT_EQ(line.help, "Nothing is holding sounds back.");
    EXPECT_EQ(TintraMenuBarStatusLine::of(current, 1).text, "1 events will play") << "there is no singular form";
}

TEST_F(StatusSummaryTest, ASilenceReasonNamesItselfInThePictureAndTheLine)
{
    controller.start();
    installSounds();
    hold(TintraSilenceReason::videoPlayback);
    const auto current = obstacle();
    const auto label = TintraMenuBarLabel::of(current);
    EXPECT_EQ(label.imageName, "MenuBarSilent");
    EXPECT_EQ(label.accessibilityLabel, "Tintra Dorvel, silent: A video is playing");
    const auto line = TintraMenuBarStatusLine::of(current, 2);
    EXPECT_EQ(line.text, "A video is playing");
    EXPECT_EQ(line.help, explanation(TintraSilenceReason::videoPlayback));
}

TEST(SoundObstacle, EveryCaseHasItsOwnLabelAndAnExplanationInTheDesktopsWords)
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
    EXPECT_NE(TintraSoundObstacle { Case::sandboxed }.explanation().find("Flatpak or Snap"), std::string::npos);
    EXPECT_NE(TintraSoundObstacle::silencedBy(TintraSilenceReason::videoPlayback),
        TintraSoundObstacle::silencedBy(TintraSilenceReason::focus));
    EXPECT_EQ((TintraSoundObstacle { Case::switchedOff, TintraSilenceReason::focus }),
        (TintraSoundObstacle { Case::switchedOff }))
        << "the reason counts only for silenced";
}

TEST(Sandbox, AFlatpakAStrictSnapOrAnAppContainerKeepsOtherApplicationsOut)
{
    TemporaryFolder root;
    const std::filesystem::path home = "/home/tester";
    EXPECT_FALSE(isSandboxed(home, root.path(), std::nullopt));
    EXPECT_TRUE(isSandboxed("/Users/tester/Library/Containers/org.tintradorvel/Data", root.path(), std::nullopt));

    std::filesystem::create_directories(root / "snap" / "meta");
    std::ofstream(root / "snap" / "meta" / "snap.yaml") << "name: tintra\nconfinement: classic\n";
    EXPECT_FALSE(isSandboxed(home, root.path(), root / "snap")) << "a classic Snap sees the whole desktop";
    std::ofstream(root / "snap" / "meta" / "snap.yaml") << "name: tintra\nconfinement: strict\n";
    EXPECT_TRUE(isSandboxed(home, root.path(), root / "snap"));

    std::ofstream(root / ".flatpak-info") << "[Application]\nname=org.tintradorvel.TintraDorvel\n";
    EXPECT_TRUE(isSandboxed(home, root.path(), std::nullopt));
}

} // namespace
} // namespace tintra
