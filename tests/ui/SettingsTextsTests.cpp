#include "ui/SettingsTexts.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

using Tone = TintraStatusText::Tone;

TEST(SettingsTexts, CaptionsAndTheStatusLineInTheirOrderOfPrecedence)
{
    EXPECT_EQ(attachingCaption(3, 12), "Attaching to applications… 3 of 12");
    EXPECT_EQ(observingCaption(4, 57), "Observing 4 applications, 57 notifications registered");

    EXPECT_EQ(soundSetStatusLine("Could not write Pop.caf", "Accessibility is off", 3, "Platinum"),
        (TintraStatusText { "Could not write Pop.caf", Tone::warning }));
    EXPECT_EQ(soundSetStatusLine(std::nullopt, "Accessibility is off", 3, "Platinum"),
        (TintraStatusText { "Accessibility is off", Tone::warning }));
    EXPECT_EQ(soundSetStatusLine(std::nullopt, std::nullopt, 3, "Platinum"),
        (TintraStatusText { "3 events will play, from Platinum", Tone::secondary }));
    EXPECT_EQ(soundSetStatusLine(std::nullopt, std::nullopt, 0, std::nullopt).text, "0 events will play, from None");
}

TEST(SettingsTexts, TheSoundSetsStatusCountsSetsAndCustomSoundsInTheSingularAndPlural)
{
    EXPECT_EQ(customSoundSentence(0), "");
    EXPECT_EQ(customSoundSentence(1), " 1 event plays a file of its own.");
    EXPECT_EQ(customSoundSentence(2), " 2 events play a file of their own.");

    EXPECT_EQ(soundSetsStatus(0, 0, 139, 0), "No sound sets installed. Import a .tintraset, or drop one on the app.");
    EXPECT_EQ(soundSetsStatus(0, 1, 139, 1),
        "No sound sets installed. Import a .tintraset, or drop one on the app. 1 event plays a file of its own.");
    EXPECT_EQ(soundSetsStatus(1, 80, 139, 0),
        "1 set installed. 80 of 139 events will play. The set above applies to every event set to Same as Sound Set.");
    EXPECT_EQ(soundSetsStatus(3, 82, 139, 2),
        "3 sets installed. 82 of 139 events will play. The set above applies to every event set to Same as Sound "
        "Set. 2 events play a file of their own.");
}

TEST(SettingsTexts, TransfersSayOnlyTheCountsThatAreNotZero)
{
    EXPECT_EQ(importProgressText(1, 3), "Importing… 1 of 3");
    EXPECT_EQ(exportSummaryText({ .name = "Platinum Custom", .eventCount = 80, .soundCount = 61 }),
        "Exported Platinum Custom: 80 events from 61 sounds");
    EXPECT_EQ(exportSummaryText({ .name = "Mine", .eventCount = 5, .soundCount = 4, .customEventCount = 1,
                  .mappedEventCount = 2, .skippedEventCount = 3 }),
        "Exported Mine: 5 events from 4 sounds, 1 of your own, 2 mapped by name, 3 skipped");
    EXPECT_EQ(exportSummaryText({ .name = "Mine", .eventCount = 5, .soundCount = 4, .skippedEventCount = 1 }),
        "Exported Mine: 5 events from 4 sounds, 1 skipped");
    EXPECT_NE(exportHelp(true), exportHelp(false));
    EXPECT_EQ(exportHelp(false), "Every event follows the sound set above, so there is nothing new to save.");
}

TEST(SettingsTexts, TheEmptyListSpeaksOfTheTrimmedSearchFirstAndABlankSearchCountsAsNone)
{
    EXPECT_EQ(emptyEventListText(TintraEventFilter::custom, "  zap\n"), "No event matches “zap”.");
    EXPECT_EQ(emptyEventListText(TintraEventFilter::custom, " \t\n "), "No event has been given a file of its own.");
    EXPECT_EQ(emptyEventListText(TintraEventFilter::all, ""), "There are no events to show.");
    EXPECT_EQ(emptyEventListText(TintraEventFilter::enabled, ""),
        "No event will play. Choose a sound set above, or give one a file of its own.");
    EXPECT_EQ(emptyEventListText(TintraEventFilter::disabled, "   "), "Every event will play.");
}

TEST(SettingsTexts, SilenceReasonsAndTheKeyPressNote)
{
    EXPECT_EQ(silenceReasonsTitle(0), "Never go quiet on their own");
    EXPECT_EQ(silenceReasonsTitle(1), "Go quiet for 1 reason");
    EXPECT_EQ(silenceReasonsTitle(4), "Go quiet for 4 reasons");

    EXPECT_EQ(keyPressSwitchLabel(true), "Play sounds for key presses");
    EXPECT_EQ(keyPressSwitchLabel(false), "Play sounds for key presses (no sound assigned)");
    EXPECT_EQ(keyPressNote(true), std::nullopt);
    EXPECT_EQ(keyPressNote(false),
        "Key Press has no sound assigned, so you won’t hear anything when you type. To assign one, choose a sound "
        "for Key Press in the Sound Sets tab.");
}

} // namespace
} // namespace tintra
