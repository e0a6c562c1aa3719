#include "soundlog/SoundLog.h"

#include "fakes/AccessibilityFake.h"
#include "fakes/ManualExecutor.h"
#include "fakes/WorkspaceFake.h"
#include "support/Text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

using ::testing::ElementsAre;
using std::chrono::hours;
using std::chrono::minutes;

constexpr std::int32_t mail = 501;

WallTime at(double secondsAfterStart)
{
    const WallTime start = std::chrono::sys_days { std::chrono::year { 2026 } / 3 / 14 } + hours(9);
    return start + std::chrono::duration_cast<WallTime::duration>(std::chrono::duration<double>(secondsAfterStart));
}

TintraEvent event(std::string name, TintraSoundID sound, std::int32_t pid = mail, std::optional<std::string> detail = std::nullopt)
{
    TintraEvent event;
    event.notificationName = std::move(name);
    event.soundID = sound;
    event.processIdentifier = pid;
    event.detail = std::move(detail);
    return event;
}

TintraEvent withElement(TintraEvent event, TintraEventElement element)
{
    event.element = std::move(element);
    return event;
}

class SoundLogTest : public ::testing::Test {
protected:
    SoundLogTest()
    {
        workspace.launch({ mail, "Mail", "com.example.Mail", "/usr/share/applications/Mail.app", std::nullopt, "16.0" });
    }

    const std::vector<TintraSoundLogSection>& sections() const { return log.sections(); }

    std::vector<std::string> sectionNames() const
    {
        std::vector<std::string> names;
        for (const auto& section : sections())
            names.push_back(section.name);
        return names;
    }

    // Each description names the element and how many descriptions came before.
    std::optional<TintraElementSnapshot> describe(const AXElement& element)
    {
        ++descriptions;
        if (element.identity() == "gone")
            return std::nullopt;
        return TintraElementSnapshot { element.identity() + " #" + std::to_string(descriptions), { "  ↑ parent" } };
    }

    WorkspaceFake workspace;
    int descriptions = 0;
    TintraSoundLog log {
        [this](const AXElement& element) { return describe(element); },
        [this](std::int32_t pid) { return workspace.runningApplication(pid); },
    };
};

// --- Folding and order

using SoundLogRecord = SoundLogTest;

TEST_F(SoundLogRecord, RepeatsFoldIntoOneRowDescribedOnce)
{
    const auto menu = TintraEventElement::unnamed(AXElement(mail, "menu"));
    log.record(withElement(event("AXSelectedChildrenChanged", "mnui"), menu), at(0));
    log.record(withElement(event("AXSelectedChildrenChanged", "mnui"), menu), at(0.4));
    log.record(withElement(event("AXSelectedChildrenChanged", "mnui"), menu), at(0.9));

    ASSERT_EQ(sections().size(), 1u);
    ASSERT_EQ(sections()[0].entries.size(), 1u);
    const auto& row = sections()[0].entries[0];
    EXPECT_EQ(row.count, 3);
    EXPECT_EQ(row.firstDate, at(0));
    EXPECT_EQ(row.lastDate, at(0.9));
    EXPECT_EQ(row.elementDescription, "menu #1");
    EXPECT_EQ(descriptions, 1);
    EXPECT_EQ(log.entryCount(), 1u);
    EXPECT_EQ(log.hearingCount(), 3);
}

TEST_F(SoundLogRecord, ADifferentDetailOrSoundIsAnotherRowAndTheNewestComesFirst)
{
    log.record(event("App Launched", "!aqt", mail, "Mail"), at(0));
    log.record(event("App Launched", "!aqt", mail, "Notes"), at(1));
    log.record(event("App Launched", "mnuo", mail, "Mail"), at(2));
    log.record(event("App Launched", "!aqt", mail, "Mail"), at(3));

    const auto& entries = sections()[0].entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].detail, "Mail");
    EXPECT_EQ(entries[0].soundID, TintraSoundID("!aqt"));
    EXPECT_EQ(entries[0].count, 2);
    EXPECT_EQ(entries[1].soundID, TintraSoundID("mnuo"));
    EXPECT_EQ(entries[2].detail, "Notes");
}

TEST_F(SoundLogRecord, ARepeatTakesANewApplicationOrDiskButNotAnEmptyOne)
{
    auto launched = event("App Launched", "!aqt", mail, "Mail");
    launched.application = TintraApplicationDescription { "com.example.Mail", std::nullopt, "1.0" };
    log.record(launched, at(0));
    launched.application = TintraApplicationDescription {};
    launched.disk = TintraDiskDescription { "Backup", "Backup, 2 TB", {} };
    log.record(launched, at(1));

    auto row = sections()[0].entries[0];
    EXPECT_EQ(row.application->version, "1.0");
    EXPECT_EQ(row.disk->summary, "Backup, 2 TB");

    launched.application = TintraApplicationDescription { "com.example.Mail", std::nullopt, "1.1" };
    launched.disk.reset();
    log.record(launched, at(2));
    row = sections()[0].entries[0];
    EXPECT_EQ(row.application->version, "1.1");
    EXPECT_EQ(row.disk->summary, "Backup, 2 TB");
}

TEST_F(SoundLogRecord, AnEleventhApplicationPushesOutTheLeastRecentlyActive)
{
    for (int i = 0; i < 11; ++i) {
        auto e = event("AXMenuOpened", "mnuo", 1000 + i);
        e.applicationName = "App " + std::to_string(i);
        log.record(e, at(i));
        if (i == 5) // App 0 becomes more recent than apps 1 to 5
            log.record(event("AXMenuOpened", "mnuo", 1000), at(5.5));
    }

    EXPECT_THAT(sectionNames(),
        ElementsAre("App 10", "App 9", "App 8", "App 7", "App 6", "App 0", "App 5", "App 4", "App 3", "App 2"));
}

TEST_F(SoundLogRecord, ASectionKeepsItsTwentyMostRecentRows)
{
    for (int i = 0; i < 20; ++i)
        log.record(event("AXMenuOpened", "mnuo", mail, std::to_string(i)), at(i));
    // Hearing a row that is there already drops nothing.
    log.record(event("AXMenuOpened", "mnuo", mail, "0"), at(20));
    EXPECT_EQ(sections()[0].entries.size(), 20u);

    log.record(event("AXMenuOpened", "mnuo", mail, "new"), at(21));
    const auto& entries = sections()[0].entries;
    ASSERT_EQ(entries.size(), 20u);
    EXPECT_EQ(entries.front().detail, "new");
    EXPECT_EQ(entries[1].detail, "0");
    EXPECT_EQ(entries.back().detail, "2"); // "1" was the oldest
}

// --- Sections

using SoundLogSections = SoundLogTest;

TEST_F(SoundLogSections, ARunningApplicationGivesItsNameIdentifierLocationAndVersion)
{
    log.record(event("AXMenuOpened", "mnuo"), at(0));

    const auto& section = sections()[0];
    EXPECT_EQ(section.group, TintraSoundLogGroup::application("com.example.Mail"));
    EXPECT_EQ(section.name, "Mail");
    EXPECT_EQ(section.bundleIdentifier, "com.example.Mail");
    EXPECT_EQ(section.fileURL, std::filesystem::path("/usr/share/applications/Mail.app"));
    EXPECT_EQ(section.version, "16.0");
}

TEST_F(SoundLogSections, AnAnonymousProcessIsNamedByItsProcessIdentifier)
{
    log.record(event("AXWindowCreated", "wopn", 4242), at(0));

    const auto& section = sections()[0];
    EXPECT_EQ(section.group, TintraSoundLogGroup::application("pid:4242"));
    EXPECT_EQ(section.name, "pid 4242");
    EXPECT_EQ(section.bundleIdentifier, std::nullopt);
}

TEST_F(SoundLogSections, NamesFallBackFromTheApplicationToTheEventToTheLocation)
{
    workspace.launch({ 7, "  \n", std::nullopt, std::nullopt, "/opt/tools/Viewer.APP/", std::nullopt });
    workspace.launch({ 8, std::nullopt, "org.example.Editor", std::nullopt, std::nullopt, std::nullopt });
    workspace.launch({ 9, std::nullopt, std::nullopt, std::nullopt, "/usr/bin/xterm", std::nullopt });
    auto named = event("AXMenuOpened", "mnuo", 8);
    named.applicationName = "Editor";

    log.record(event("AXMenuOpened", "mnuo", 7), at(0));
    log.record(named, at(1));
    log.record(event("AXMenuOpened", "mnuo", 9), at(2));

    EXPECT_THAT(sectionNames(), ElementsAre("xterm", "Editor", "Viewer"));
    EXPECT_EQ(sections()[2].group, TintraSoundLogGroup::application("pid:7"));
    EXPECT_EQ(sections()[1].group, TintraSoundLogGroup::application("org.example.Editor"));
}

TEST_F(SoundLogSections, IdentitiesAreWorkedOutOncePerProcess)
{
    log.record(event("AXMenuOpened", "mnuo"), at(0));
    workspace.quit(mail);
    log.record(event("AXMenuClosed", "mnuc"), at(1));

    EXPECT_EQ(workspace.lookupCount(), 1);
    EXPECT_THAT(sectionNames(), ElementsAre("Mail"));
}

TEST_F(SoundLogSections, SystemEventsShareOneSection)
{
    auto logout = event("Logging Out", "!lgo", 0);
    logout.origin = TintraEventOrigin::system;
    auto launch = event("App Launched", "!aqt", mail, "Mail");
    launch.origin = TintraEventOrigin::system;

    log.record(logout, at(0));
    log.record(launch, at(1));

    ASSERT_EQ(sections().size(), 1u);
    EXPECT_EQ(sections()[0].group, TintraSoundLogGroup::system());
    EXPECT_EQ(sections()[0].name, "System");
    EXPECT_EQ(sections()[0].entries.size(), 2u);
    EXPECT_EQ(workspace.lookupCount(), 0);
}

// --- Element descriptions

using SoundLogElements = SoundLogTest;

TEST_F(SoundLogElements, ARowIsDescribedAgainOnlyAfterTwoSeconds)
{
    const auto first = TintraEventElement::unnamed(AXElement(mail, "first"));
    const auto second = TintraEventElement::unnamed(AXElement(mail, "second"));
    log.record(withElement(event("AXMenuOpened", "mnuo"), first), at(10));
    log.record(withElement(event("AXMenuOpened", "mnuo"), second), at(11.5));
    EXPECT_EQ(sections()[0].entries[0].elementDescription, "first #1");

    log.record(withElement(event("AXMenuOpened", "mnuo"), second), at(11.999));
    EXPECT_EQ(sections()[0].entries[0].elementDescription, "first #1");

    log.record(withElement(event("AXMenuOpened", "mnuo"), second), at(12));
    EXPECT_EQ(sections()[0].entries[0].elementDescription, "second #2");
    EXPECT_EQ(sections()[0].entries[0].elementNamedDate, at(12));
    EXPECT_EQ(descriptions, 2);
}

TEST_F(SoundLogElements, AnElementThatCannotBeDescribedKeepsTheLastDescription)
{
    log.record(withElement(event("AXMenuOpened", "mnuo"), TintraEventElement::unnamed(AXElement(mail, "first"))), at(0));
    log.record(withElement(event("AXMenuOpened", "mnuo"), TintraEventElement::unnamed(AXElement(mail, "gone"))), at(5));

    const auto& row = sections()[0].entries[0];
    EXPECT_EQ(row.elementDescription, "first #1");
    EXPECT_EQ(row.elementNamedDate, at(0));
    EXPECT_THAT(row.elementDetails, ElementsAre("  ↑ parent"));
}

TEST_F(SoundLogElements, DescriptionsAreCappedAndANamedElementHasNoDetails)
{
    log.describeElement = [](const AXElement&) {
        return TintraElementSnapshot { std::string(250, 'n'), std::vector<std::string>(100, "  line") };
    };
    log.record(withElement(event("AXMenuOpened", "mnuo"), TintraEventElement::unnamed(AXElement(mail, "e"))), at(0));
    EXPECT_EQ(sections()[0].entries[0].elementDescription, std::string(200, 'n'));
    EXPECT_EQ(sections()[0].entries[0].elementDetails.size(), 80u);

    std::string longName;
    for (int i = 0; i < 210; ++i)
        longName += "ü";
    log.record(withElement(event("AXMenuOpened", "mnuo"), TintraEventElement::named(longName)), at(3));
    EXPECT_EQ(characterCount(*sections()[0].entries[0].elementDescription), 200u);
    EXPECT_TRUE(sections()[0].entries[0].elementDetails.empty());
}

TEST(SoundLogSnapshots, TheDefaultDescriptionIsTheElementSnapshot)
{
    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake ax { clock, executor };
    WorkspaceFake workspace;
    const auto app = ax.addApplication(mail, { { "AXRole", AXValue::text("AXApplication") } });
    const auto item = ax.addElement(app, { { "AXRole", AXValue::text("AXMenuItem") }, { "AXTitle", AXValue::text("Copy") } });
    TintraSoundLog log(ax, clock, workspace);

    log.record(withElement(event("AXMenuItemSelected", "mnui"), TintraEventElement::unnamed(item)), at(0));

    const auto& row = log.sections()[0].entries[0];
    EXPECT_EQ(row.elementDescription, "AXMenuItem \"Copy\"");
    EXPECT_EQ(row.elementDetails.front(), "   ↑ AXApplication (child 1 of 1)");
    EXPECT_EQ(log.sections()[0].name, "pid 501");
}

// --- Pruning

using SoundLogPrune = SoundLogTest;

TEST_F(SoundLogPrune, RowsOlderThanTwoHoursGoWithTheNextRecording)
{
    log.record(event("AXMenuOpened", "mnuo", 4242), at(0));
    log.record(event("AXMenuOpened", "mnuo", mail), at(0));
    log.record(event("AXMenuClosed", "mnuc", mail), at(1));

    log.record(event("AXMenuOpened", "mnuo", 77), at(7201));

    EXPECT_THAT(sectionNames(), ElementsAre("pid 77", "Mail"));
    ASSERT_EQ(sections()[1].entries.size(), 1u);
    EXPECT_EQ(sections()[1].entries[0].eventName, "AXMenuClosed"); // exactly two hours old stays
}

TEST_F(SoundLogPrune, ObserversHearOnlyOfRealRemovals)
{
    log.record(event("AXMenuOpened", "mnuo"), at(0));
    log.noteSilence(TintraSilenceReason::focus, at(0));
    log.noteSilence(std::nullopt, at(10));
    int sectionChanges = 0;
    int silenceChanges = 0;
    auto a = log.subscribeToSections([&](const auto&) { ++sectionChanges; });
    auto b = log.subscribeToSilences([&](const auto&) { ++silenceChanges; });

    log.prune(at(3600));
    EXPECT_EQ(sectionChanges, 0);
    EXPECT_EQ(silenceChanges, 0);

    log.prune(at(7205));
    EXPECT_EQ(sectionChanges, 1);
    EXPECT_EQ(silenceChanges, 0);
    EXPECT_TRUE(sections().empty());

    log.prune(at(7211));
    EXPECT_EQ(silenceChanges, 1);
    EXPECT_TRUE(log.silences().empty());
}

TEST_F(SoundLogPrune, ARunningSilenceIsNeverPruned)
{
    log.noteSilence(TintraSilenceReason::microphoneInUse, at(0));
    log.prune(at(4 * 3600));
    EXPECT_EQ(log.currentSilence(), TintraSilenceReason::microphoneInUse);
}

// --- Silence periods

using SoundLogSilence = SoundLogTest;

TEST_F(SoundLogSilence, EachChangeEndsOnePeriodAndStartsTheNext)
{
    log.noteSilence(TintraSilenceReason::focus, at(0));
    log.noteSilence(TintraSilenceReason::focus, at(5));
    log.noteSilence(std::nullopt, at(10));
    log.noteSilence(std::nullopt, at(15));
    log.noteSilence(TintraSilenceReason::videoPlayback, at(20));

    const auto& periods = log.silences();
    ASSERT_EQ(periods.size(), 2u);
    EXPECT_EQ(periods[0].reason, TintraSilenceReason::videoPlayback);
    EXPECT_EQ(periods[0].startDate, at(20));
    EXPECT_EQ(periods[0].endDate, std::nullopt);
    EXPECT_EQ(periods[1].reason, TintraSilenceReason::focus);
    EXPECT_EQ(periods[1].startDate, at(0));
    EXPECT_EQ(periods[1].endDate, at(10));
    EXPECT_NE(periods[0].id, periods[1].id);
    EXPECT_EQ(log.currentSilence(), TintraSilenceReason::videoPlayback);
}

TEST_F(SoundLogSilence, AReasonChangingDirectlyEndsThePeriodThere)
{
    log.noteSilence(TintraSilenceReason::focus, at(0));
    log.noteSilence(TintraSilenceReason::onBattery, at(3));

    const auto& periods = log.silences();
    ASSERT_EQ(periods.size(), 2u);
    EXPECT_EQ(periods[1].endDate, at(3));
    EXPECT_EQ(periods[0].reason, TintraSilenceReason::onBattery);
}

TEST_F(SoundLogSilence, AnEndBeforeTheStartEndsThePeriodAtItsStart)
{
    log.noteSilence(TintraSilenceReason::focus, at(100));
    log.noteSilence(std::nullopt, at(40));

    EXPECT_EQ(log.silences()[0].endDate, at(100));
    EXPECT_EQ(log.currentSilence(), std::nullopt);
}

TEST_F(SoundLogSilence, OnlyTheTwentyNewestPeriodsStay)
{
    for (int i = 0; i < 30; ++i)
        log.noteSilence(i % 2 ? TintraSilenceReason::focus : TintraSilenceReason::gameMode, at(i));

    const auto& periods = log.silences();
    ASSERT_EQ(periods.size(), 20u);
    EXPECT_EQ(periods.front().startDate, at(29));
    EXPECT_EQ(periods.back().startDate, at(10));
}

// --- Clearing and copies

using SoundLogContent = SoundLogTest;

TEST_F(SoundLogContent, ClearKeepsOnlyARunningPeriod)
{
    log.record(event("AXMenuOpened", "mnuo"), at(0));
    log.noteSilence(TintraSilenceReason::gameMode, at(1));
    log.noteSilence(TintraSilenceReason::focus, at(2));
    EXPECT_TRUE(log.hasContent());

    log.clear();

    EXPECT_TRUE(sections().empty());
    ASSERT_EQ(log.silences().size(), 1u);
    EXPECT_EQ(log.currentSilence(), TintraSilenceReason::focus);
    EXPECT_FALSE(log.hasContent());
}

TEST_F(SoundLogContent, AnEndedPeriodAloneIsContent)
{
    EXPECT_FALSE(log.hasContent());
    log.noteSilence(TintraSilenceReason::gameMode, at(1));
    EXPECT_FALSE(log.hasContent());
    log.noteSilence(std::nullopt, at(2));
    EXPECT_TRUE(log.hasContent());
}

TEST_F(SoundLogContent, AFrozenCopyNoLongerMoves)
{
    log.record(event("AXMenuOpened", "mnuo"), at(0));
    log.noteSilence(TintraSilenceReason::gameMode, at(1));
    const auto frozen = log.frozenCopy();

    log.record(event("AXMenuOpened", "mnuo"), at(2));
    log.noteSilence(std::nullopt, at(3));

    EXPECT_EQ(frozen->hearingCount(), 1);
    EXPECT_EQ(frozen->currentSilence(), TintraSilenceReason::gameMode);
    EXPECT_EQ(log.hearingCount(), 2);
}

TEST(SoundLogNames, SoundsAreNamedFromTheCatalogue)
{
    TintraSoundLogEntry entry;
    entry.soundID = TintraSoundID("mnuo");
    EXPECT_EQ(TintraSoundLog::soundName(entry), "Menu Open");
    entry.soundID = TintraSoundID("zzzz");
    EXPECT_EQ(TintraSoundLog::soundName(entry), std::nullopt);
}

} // namespace
} // namespace tintra
