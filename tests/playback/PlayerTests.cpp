#include "playback/Player.h"

#include "catalogue/Catalogue.h"
#include "fakes/AudioOutputFake.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/ManualExecutor.h"
#include "fakes/ScreenGeometryFake.h"
#include "fakes/SilenceQueryFake.h"
#include "fakes/SoundResolverFake.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tintra {
namespace {

constexpr TintraSoundID menuOpen { "mnuo" };
constexpr TintraSoundID menuHilite { "mnui" };
constexpr TintraSoundID moveWindow { "wmov" };
constexpr TintraSoundID dragging { "drag" };
constexpr TintraSoundID scrollEnd { "sbte" };
constexpr TintraSoundID scrollThumb { "sbth" };
constexpr TintraSoundID growWindow { "wgro" };

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
    {
        for (TintraSoundID id : { menuOpen, menuHilite, moveWindow, dragging, scrollEnd, scrollThumb, growWindow,
                 TintraSoundID::keyPress, TintraSoundID::logout })
            sounds.files[id] = "/sets/Classic.tintraset/Contents/Resources/" + id.description() + ".aiff";
        screens.frames = { Rect { 0, 0, 1440, 900 }, Rect { 1440, 0, 1920, 1080 } };
    }

    TintraPlayer& player()
    {
        if (!player_) {
            player_ = std::make_unique<TintraPlayer>(sounds, defaults, silence, output, screens, executor);
            player_->onPlay = [this](TintraSoundID id) { told.push_back(id); };
        }
        return *player_;
    }

    std::vector<AudioOutputFake::Player*> playersOf(TintraSoundID id) { return output.playersOf(sounds.files.at(id)); }
    AudioOutputFake::Player& onlyPlayerOf(TintraSoundID id)
    {
        auto players = playersOf(id);
        EXPECT_EQ(players.size(), 1u);
        return *players.at(0);
    }

    ManualClock clock;
    ManualExecutor executor { clock };
    SoundResolverFake sounds;
    DefaultsMemory defaults;
    SilenceQueryFake silence;
    AudioOutputFake output;
    ScreenGeometryFake screens;
    std::vector<TintraSoundID> told;
    std::unique_ptr<TintraPlayer> player_;
};

TEST_F(PlayerTest, OrdinarySoundGetsThreePreparedPlayersAndStartsOnceRewound)
{
    EXPECT_TRUE(player().play(menuOpen));
    auto players = playersOf(menuOpen);
    ASSERT_EQ(players.size(), 3u);
    for (auto* each : players)
        EXPECT_TRUE(each->prepared);
    ASSERT_EQ(players[0]->starts.size(), 1u);
    EXPECT_EQ(players[0]->starts[0].numberOfLoops, 0);
    EXPECT_EQ(players[0]->starts[0].currentTime, 0.0);
    EXPECT_EQ(told, std::vector<TintraSoundID> { menuOpen });
    EXPECT_TRUE(player().isPlaying(menuOpen));
}

TEST_F(PlayerTest, FourthQuickStartRestartsTheFirstPlayerFromTheBeginning)
{
    auto& p = player();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(p.play(menuHilite));
    auto players = playersOf(menuHilite);
    ASSERT_EQ(players.size(), 3u);
    EXPECT_EQ(players[0]->playCount, 2);
    EXPECT_EQ(players[1]->playCount, 1);
    EXPECT_EQ(players[2]->playCount, 1);
    players[0]->currentTime = 0.3; // it had played on
    p.play(menuHilite);
    EXPECT_EQ(players[1]->starts.back().currentTime, 0.0);
    EXPECT_EQ(p.voice(menuHilite)->nextPlayerIndex(), 2u);
}

TEST_F(PlayerTest, VolumeIsRowTimesCategoryTimesMasterWithinOneAndZeroStillPlays)
{
    auto& p = player();
    p.setCategoryVolumes({ { TintraSoundCategory::menu, 0.5 } });
    p.setMasterVolume(0.8);
    p.play(menuOpen);
    EXPECT_FLOAT_EQ(playersOf(menuOpen)[0]->starts[0].volume, 0.4f);

    p.setCategoryVolumes({ { TintraSoundCategory::menu, 3.0 } });
    p.play(menuOpen);
    EXPECT_EQ(playersOf(menuOpen)[1]->starts[0].volume, 1.0f);

    // A category without a value counts as 1.
    p.setCategoryVolumes({});
    p.setMasterVolume(0);
    EXPECT_TRUE(p.play(menuOpen));
    EXPECT_EQ(playersOf(menuOpen)[2]->starts[0].volume, 0.0f);
}

TEST_F(PlayerTest, AutoPanFollowsThePointerAcrossAllScreens)
{
    auto& p = player();
    p.setStereoEnabled(true);
    screens.pointer = { 3360, 500 };
    EXPECT_EQ(p.autoPan(), 1.0f);
    screens.pointer = { 0, 10 };
    EXPECT_EQ(p.autoPan(), -1.0f);
    screens.pointer = { 2520, 10 };
    EXPECT_FLOAT_EQ(p.autoPan(), 0.5f);
    screens.pointer = { 9000, 10 };
    EXPECT_EQ(p.autoPan(), 1.0f);
    p.play(menuOpen);
    EXPECT_EQ(playersOf(menuOpen)[0]->starts[0].pan, 1.0f);

    // A screen to the left of the origin widens the union.
    screens.frames.push_back(Rect { -1440, 0, 1440, 900 });
    screens.pointer = { 960, 0 };
    EXPECT_FLOAT_EQ(p.autoPan(), 0.0f);

    screens.frames.clear();
    EXPECT_EQ(p.autoPan(), 0.0f);
    screens.frames = { Rect { 100, 0, 0, 900 } };
    EXPECT_EQ(p.autoPan(), 0.0f);
}

TEST_F(PlayerTest, EventPanIsClampedWithStereoAndIgnoredWithout)
{
    auto& p = player();
    p.play(menuOpen, -0.7f);
    EXPECT_EQ(playersOf(menuOpen)[0]->starts[0].pan, 0.0f);
    p.setStereoEnabled(true);
    p.play(menuOpen, 1.5f);
    EXPECT_EQ(playersOf(menuOpen)[1]->starts[0].pan, 1.0f);
    p.play(menuOpen, -0.7f);
    EXPECT_EQ(playersOf(menuOpen)[2]->starts[0].pan, -0.7f);
}

TEST_F(PlayerTest, CenteredSoundUsesTheEventPanOrTheCentreButNeverThePointer)
{
    auto& p = player();
    p.setStereoEnabled(true);
    screens.pointer = { 3360, 0 };
    p.play(TintraSoundID::keyPress, -0.5f);
    p.play(TintraSoundID::keyPress);
    auto players = playersOf(TintraSoundID::keyPress);
    EXPECT_EQ(players[0]->starts[0].pan, -0.5f);
    EXPECT_EQ(players[1]->starts[0].pan, 0.0f);
}

TEST_F(PlayerTest, DragLoopRunsWhileRepeatedAndStopsAQuarterSecondAfterTheLast)
{
    auto& p = player();
    EXPECT_TRUE(p.play(moveWindow));
    auto& loop = onlyPlayerOf(moveWindow);
    EXPECT_EQ(loop.starts[0].numberOfLoops, -1);
    EXPECT_EQ(p.loopingSoundID(), moveWindow);
    for (int i = 0; i < 5; ++i) {
        executor.advance(seconds(0.1));
        EXPECT_FALSE(p.play(moveWindow));
    }
    EXPECT_EQ(loop.playCount, 1);
    EXPECT_TRUE(loop.playing);
    executor.advance(seconds(0.24));
    EXPECT_TRUE(loop.playing);
    executor.advance(seconds(0.02));
    EXPECT_FALSE(loop.playing);
    EXPECT_EQ(loop.currentTime, 0.0);
    EXPECT_FALSE(p.loopingSoundID());
    EXPECT_EQ(told, std::vector<TintraSoundID> { moveWindow });
    EXPECT_EQ(executor.scheduledCount(), 0u);
}

TEST_F(PlayerTest, OnlyTheDraggingLoopOutlastsAnotherSound)
{
    auto& p = player();
    p.play(dragging);
    EXPECT_TRUE(p.play(menuOpen));
    EXPECT_TRUE(onlyPlayerOf(dragging).playing);
    EXPECT_EQ(p.loopingSoundID(), dragging);

    p.stopAll();
    p.play(moveWindow);
    EXPECT_TRUE(p.play(menuOpen));
    EXPECT_FALSE(onlyPlayerOf(moveWindow).playing);
    EXPECT_FALSE(p.loopingSoundID());
}

TEST_F(PlayerTest, AnotherLoopReplacesTheRunningOne)
{
    auto& p = player();
    p.play(moveWindow);
    EXPECT_TRUE(p.play(growWindow));
    EXPECT_FALSE(onlyPlayerOf(moveWindow).playing);
    EXPECT_EQ(p.loopingSoundID(), growWindow);
    // The old loop's timer was replaced, not kept.
    EXPECT_EQ(executor.scheduledCount(), 1u);
}

TEST_F(PlayerTest, ScrollEndPlaysOncePerThumbDrag)
{
    auto& p = player();
    EXPECT_TRUE(p.play(scrollEnd));
    EXPECT_FALSE(p.play(scrollEnd));
    EXPECT_TRUE(p.play(scrollThumb));
    EXPECT_TRUE(p.play(scrollEnd));
    EXPECT_FALSE(p.play(scrollEnd));
    p.stopAll();
    EXPECT_TRUE(p.blockedSoundIDs().empty());
    EXPECT_TRUE(p.play(scrollEnd));
}

TEST_F(PlayerTest, SingleInstanceSoundWaitsUntilItHasRunOut)
{
    auto& p = player();
    EXPECT_TRUE(p.play(TintraSoundID::logout));
    auto& only = onlyPlayerOf(TintraSoundID::logout);
    EXPECT_FALSE(p.play(TintraSoundID::logout));
    EXPECT_TRUE(p.isPlaying(TintraSoundID::logout));
    only.finish();
    EXPECT_FALSE(p.isPlaying(TintraSoundID::logout));
    EXPECT_TRUE(p.play(TintraSoundID::logout));
    EXPECT_EQ(only.playCount, 2);
}

TEST_F(PlayerTest, SilenceStopsTheLoopAndRefusesWithoutOpeningAnything)
{
    auto& p = player();
    p.play(moveWindow);
    silence.silenced = true;
    EXPECT_FALSE(p.play(menuOpen));
    EXPECT_FALSE(onlyPlayerOf(moveWindow).playing);
    EXPECT_FALSE(p.loopingSoundID());
    EXPECT_EQ(executor.scheduledCount(), 0u);
    EXPECT_EQ(p.voice(menuOpen), nullptr);
}

TEST_F(PlayerTest, RefusalsAreSilentAndTellNobody)
{
    auto& p = player();
    p.setEnabled(false);
    EXPECT_FALSE(p.play(menuOpen));
    EXPECT_EQ(silence.questions, 0);
    p.setEnabled(true);
    p.setEnabledCategories({ TintraSoundCategory::window });
    EXPECT_FALSE(p.play(menuOpen));
    EXPECT_FALSE(p.play(TintraSoundID("zzzz")));
    sounds.files.erase(menuHilite);
    EXPECT_FALSE(p.play(menuHilite));
    EXPECT_TRUE(told.empty());
}

TEST_F(PlayerTest, FileThatFailsToOpenIsReportedOnceUntilInvalidated)
{
    const auto url = sounds.files.at(menuOpen);
    output.failOpening(url, AudioOpenError { AudioOpenError::Case::unsupportedFormat, url, "File contains data in an unknown format." });
    auto& p = player();
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(p.play(menuOpen));
    EXPECT_FALSE(p.play(menuOpen));
    p.preview(menuOpen);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
        "TintraPlayer: could not open mnuo.aiff: File contains data in an unknown format.\n");
    EXPECT_EQ(output.openCount(), 1);
    EXPECT_TRUE(p.failedURLs().contains(url));

    output.allowOpening(url);
    p.invalidate(menuOpen);
    EXPECT_TRUE(p.failedURLs().empty());
    EXPECT_TRUE(p.play(menuOpen));
}

TEST_F(PlayerTest, VoiceWhoseFileChangedIsStoppedRewoundAndReplaced)
{
    auto& p = player();
    const auto oldURL = sounds.files.at(menuOpen);
    p.play(menuOpen);
    auto* old = playersOf(menuOpen)[0];
    old->currentTime = 0.1; // it has played on
    sounds.files[menuOpen] = "/home/me/Beep.wav";
    EXPECT_TRUE(p.play(menuOpen));
    EXPECT_EQ(p.voice(menuOpen)->url, "/home/me/Beep.wav");
    EXPECT_EQ(old->stopCount, 1);
    EXPECT_EQ(old->currentTime, 0.0);
    EXPECT_TRUE(old->released);
    EXPECT_TRUE(output.playersOf(oldURL).empty());
    EXPECT_EQ(output.playersOf("/home/me/Beep.wav").size(), 3u);
}

TEST_F(PlayerTest, InvalidateStopsTheLoopAndDropsTheVoice)
{
    auto& p = player();
    p.play(moveWindow);
    auto& loop = onlyPlayerOf(moveWindow);
    EXPECT_TRUE(loop.playing);
    p.invalidate(moveWindow);
    EXPECT_FALSE(p.loopingSoundID());
    EXPECT_EQ(p.voice(moveWindow), nullptr);
    EXPECT_EQ(executor.scheduledCount(), 0u);
    EXPECT_TRUE(p.play(moveWindow));
}

TEST_F(PlayerTest, PreviewIgnoresSwitchesAndSilenceStopsTheLoopAndTellsNobody)
{
    auto& p = player();
    p.play(moveWindow);
    told.clear();
    p.setEnabled(false);
    silence.silenced = true;
    p.setStereoEnabled(true);
    screens.pointer = { 0, 0 };
    p.preview(menuOpen);
    p.preview(TintraSoundID::keyPress);
    EXPECT_FALSE(onlyPlayerOf(moveWindow).playing);
    EXPECT_EQ(playersOf(menuOpen)[0]->starts[0].pan, -1.0f);
    EXPECT_EQ(playersOf(TintraSoundID::keyPress)[0]->starts[0].pan, 0.0f);
    EXPECT_TRUE(told.empty());
    EXPECT_EQ(silence.questions, 1); // only the earlier play asked
}

TEST_F(PlayerTest, StopAllStopsEveryPlayerButKeepsTheVoices)
{
    auto& p = player();
    p.play(menuOpen);
    p.play(menuOpen);
    p.play(dragging);
    p.stopAll();
    for (auto* each : playersOf(menuOpen))
        EXPECT_FALSE(each->playing);
    EXPECT_FALSE(onlyPlayerOf(dragging).playing);
    EXPECT_NE(p.voice(menuOpen), nullptr);
    EXPECT_EQ(executor.scheduledCount(), 0u);
}

TEST_F(PlayerTest, SettingsAreReadClampedAndWrittenBack)
{
    defaults.set("TintraMasterVolume", 1.7);
    defaults.set("TintraAutoPanEnabled", true);
    auto& p = player();
    EXPECT_EQ(p.masterVolume(), 1.0);
    EXPECT_TRUE(p.isStereoEnabled());
    EXPECT_EQ(defaults.doubleForKey("TintraMasterVolume", -1), 1.0);

    int changes = 0;
    auto subscription = p.observe([&] { ++changes; });
    const int writes = defaults.writeCount();
    p.setMasterVolume(1.0);
    p.setStereoEnabled(true);
    EXPECT_EQ(defaults.writeCount(), writes);
    EXPECT_EQ(changes, 0);
    p.setMasterVolume(0.25);
    p.setStereoEnabled(false);
    EXPECT_EQ(defaults.doubleForKey("TintraMasterVolume", -1), 0.25);
    EXPECT_FALSE(defaults.boolForKey("TintraAutoPanEnabled", true));
    p.setEnabledCategories({});
    EXPECT_EQ(changes, 3);
}

TEST_F(PlayerTest, WrongKindOfStoredVolumeGivesFullVolume)
{
    defaults.set("TintraMasterVolume", "loud");
    EXPECT_EQ(player().masterVolume(), 1.0);
    EXPECT_EQ(defaults.doubleForKey("TintraMasterVolume", -1), 1.0);
    EXPECT_FALSE(player().isStereoEnabled());
}

TEST_F(PlayerTest, PlayableSoundsCountListedRowsWithAFile)
{
    auto& p = player();
    EXPECT_EQ(p.playableSoundCount(), 9);
    EXPECT_TRUE(p.hasSound(menuOpen));
    sounds.files[TintraSoundID::applicationQuit] = "/x/quit.aiff"; // not a listed row
    EXPECT_EQ(p.playableSoundCount(), 9);
    EXPECT_FALSE(p.hasSound(TintraSoundID::login));
}

TEST_F(PlayerTest, TimerFiringAfterThePlayerIsGoneDoesNothing)
{
    player().play(moveWindow);
    player_.reset();
    executor.advance(seconds(1));
    EXPECT_EQ(executor.scheduledCount(), 0u);
}

} // namespace
} // namespace tintra
