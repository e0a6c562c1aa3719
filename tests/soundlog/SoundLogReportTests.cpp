#include "soundlog/SoundLogReport.h"

#include "soundlog/SoundLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>
#include <string>

namespace tintra {
namespace {

using ::testing::ElementsAre;

constexpr std::int32_t mail = 501;
constexpr std::int32_t notes = 502;
// ICU puts a narrow no-break space between the time and AM or PM.
#define AM "\u202F" "AM"

WallTime at(double secondsAfterStart)
{
    const WallTime start = std::chrono::sys_days { std::chrono::year { 2026 } / 3 / 14 } + std::chrono::hours(9);
    return start + std::chrono::duration_cast<WallTime::duration>(std::chrono::duration<double>(secondsAfterStart));
}

TintraEvent event(std::string name, TintraSoundID sound, std::int32_t pid, std::optional<std::string> detail = std::nullopt)
{
    TintraEvent event;
    event.notificationName = std::move(name);
    event.soundID = sound;
    event.processIdentifier = pid;
    event.detail = std::move(detail);
    return event;
}

class SoundLogReportTest : public ::testing::Test {
protected:
    // Times and dates must read the same on every machine.
    static void SetUpTestSuite()
    {
        savedLocale = new icu::Locale(icu::Locale::getDefault());
        savedZone = icu::TimeZone::createDefault();
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale::getUS(), status);
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("UTC"));
    }

    static void TearDownTestSuite()
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(*savedLocale, status);
        delete savedLocale;
        icu::TimeZone::adoptDefault(savedZone);
    }

    SoundLogReportTest()
    {
        report.now = at(600);
        report.systemText = [] { return std::string("Debian GNU/Linux 12 (bookworm) (6.1.0-18-amd64)"); };
        report.sourceName = [](TintraSoundID sound) -> std::optional<std::string> {
            if (sound == TintraSoundID("mnuo"))
                return "Platinum";
            return std::nullopt;
        };
    }

    std::string header() const
    {
        return "Tintra Dorvel: WTF Was That?!\n"
               "March 14, 2026 at 9:10:00" AM "\n"
               "Tintra Dorvel "
            + reportApplicationVersion() + " · Debian GNU/Linux 12 (bookworm) (6.1.0-18-amd64)\n";
    }

    static inline icu::Locale* savedLocale = nullptr;
    static inline icu::TimeZone* savedZone = nullptr;

    std::map<std::int32_t, RunningApplication> running {
        { mail, { mail, "Mail", "com.example.Mail", "/usr/share/applications/Mail.app/", std::nullopt, "16.0 (3774)" } },
        { notes, { notes, "Notes", std::nullopt, std::nullopt, "/usr/bin/notes", std::nullopt } },
    };
    TintraSoundLog log {
        [](const AXElement&) { return TintraElementSnapshot { "AXMenu", { "   ↑ AXMenuBar" } }; },
        [this](std::int32_t pid) -> std::optional<RunningApplication> {
            if (auto found = running.find(pid); found != running.end())
                return found->second;
            return std::nullopt;
        },
    };
    TintraSoundLogReport report;
};

TEST_F(SoundLogReportTest, AnEmptyLogHasTheHeaderAndTheInvitation)
{
    EXPECT_EQ(report.text(log),
        header()
            + "\n"
              "Everything that makes a sound shows up here, whether or not sounds are switched on elsewhere in this window.\n");
}

TEST_F(SoundLogReportTest, OneRowHeardOnce)
{
    log.record(event("AXMenuOpened", "mnuo", mail), at(5));

    EXPECT_EQ(report.text(log),
        header()
            + "\n"
              "1 event from 1 app in the last two hours.\n"
              "\n"
              "Mail (com.example.Mail)\n"
              "  Path: /usr/share/applications/Mail.app\n"
              "  Version: 16.0 (3774)\n"
              "  AXMenuOpened · 9:00:05" AM "\n"
              "    Sound: Menu Open (mnuo) from Platinum\n");
}

TEST_F(SoundLogReportTest, ThreeRowsHeardSevenTimesInTwoApplications)
{
    auto menu = event("AXMenuOpened", "mnuo", mail);
    menu.element = TintraEventElement::unnamed(AXElement(mail, "menu"));
    log.record(menu, at(0));
    log.record(menu, at(1));
    log.record(menu, at(62));
    auto mounted = event("Disk Mounted", "!dsk", mail, "Backup");
    mounted.disk = TintraDiskDescription { "Backup", "Backup, 2 TB external", { { "Format", "ext4" }, { "Bus", "USB" } } };
    mounted.application = TintraApplicationDescription { "com.example.Mail", "/opt/Mail", "16.0" };
    log.record(mounted, at(63));
    auto saved = event("AXSheetCreated", "dopn", notes);
    saved.element = TintraEventElement::named("AXSheet \"Save\"");
    for (int i = 0; i < 3; ++i)
        log.record(saved, at(120 + i));

    EXPECT_EQ(report.summary(log), "3 events, 7 times from 2 apps in the last two hours.");
    EXPECT_EQ(report.text(log),
        header()
            + "\n"
              "3 events, 7 times from 2 apps in the last two hours.\n"
              "\n"
              "Notes\n"
              "  Path: /usr/bin/notes\n"
              "  AXSheetCreated ×3 · 9:02:00" AM " → 9:02:02" AM "\n"
              "    Element: AXSheet \"Save\"\n"
              "    Sound: Dialog Open (dopn)\n"
              "\n"
              "Mail (com.example.Mail)\n"
              "  Path: /usr/share/applications/Mail.app\n"
              "  Version: 16.0 (3774)\n"
              "  Disk Mounted (Backup) · 9:01:03" AM "\n"
              "    Disk: Backup, 2 TB external\n"
              "      Format: ext4\n"
              "      Bus: USB\n"
              "    Bundle identifier: com.example.Mail\n"
              "    Path: /opt/Mail\n"
              "    Version: 16.0\n"
              "    Sound: !dsk (!dsk)\n"
              "  AXMenuOpened ×3 · 9:00:00" AM " → 9:01:02" AM "\n"
              "    Element: AXMenu\n"
              "       ↑ AXMenuBar\n"
              "    Sound: Menu Open (mnuo) from Platinum\n");
}

TEST_F(SoundLogReportTest, ARunningSilenceWithoutSounds)
{
    log.noteSilence(TintraSilenceReason::videoPlayback, at(-3725));

    EXPECT_EQ(report.text(log),
        header()
            + "\n"
              "Nothing can be heard right now: a video is playing. Everything that makes a sound shows up here, whether "
              "or not sounds are switched on elsewhere in this window.\n"
              "\n"
              "Silence: sounds held back\n"
              "  A video is playing · since 7:57:55" AM " · still quiet after 1 hour, 12 minutes\n");
}

TEST_F(SoundLogReportTest, EndedPeriodsShowTheirDurationFromOneSecond)
{
    auto period = TintraSilencePeriod::started(TintraSilenceReason::focus, at(0));
    period.endDate = at(0.9);
    EXPECT_EQ(report.silenceLine(period), "A Focus is active · 9:00:00" AM " → 9:00:00" AM);
    period.endDate = at(1);
    EXPECT_EQ(report.silenceLine(period), "A Focus is active · 9:00:00" AM " → 9:00:01" AM " · 1 second");
    period.endDate = at(3605);
    EXPECT_EQ(report.silenceLine(period), "A Focus is active · 9:00:00" AM " → 10:00:05" AM " · 1 hour, 5 seconds");
}

TEST_F(SoundLogReportTest, ARunningPeriodStartedLaterThanNowHasBeenQuietForNoTime)
{
    const auto period = TintraSilencePeriod::started(TintraSilenceReason::gameMode, at(900));
    EXPECT_EQ(report.silenceLine(period), "A game has the screen · since 9:15:00" AM " · still quiet after 0 seconds");
}

TEST_F(SoundLogReportTest, HeadingsNameTheBundleIdentifierOnlyWhenItAddsSomething)
{
    TintraSoundLogSection section { TintraSoundLogGroup::application("org.example.Tool"), "org.example.Tool",
        "org.example.Tool", "/", std::nullopt, {} };
    EXPECT_THAT(report.sectionLines(section), ElementsAre("org.example.Tool", "  Path: /"));

    section = { TintraSoundLogGroup::system(), "System", std::nullopt, std::nullopt, std::nullopt, {} };
    EXPECT_THAT(report.sectionLines(section), ElementsAre("System"));
}

TEST_F(SoundLogReportTest, EntriesIndentByLevel)
{
    TintraSoundLogEntry entry;
    entry.eventName = "AXMenuClosed";
    entry.soundID = TintraSoundID("mnuc");
    entry.firstDate = entry.lastDate = at(0);
    entry.elementDescription = "AXMenu";
    EXPECT_THAT(report.entryLines(entry, 2),
        ElementsAre("    AXMenuClosed · 9:00:00" AM, "      Element: AXMenu", "      Sound: Menu Close (mnuc)"));
}

TEST(SoundLogSystemText, NamesTheDistributionAndTheKernel)
{
    EXPECT_EQ(systemText("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n",
                  "6.1.0-18-amd64"),
        "Debian GNU/Linux 12 (bookworm) (6.1.0-18-amd64)");
    EXPECT_EQ(systemText("PRETTY_NAME='Fedora Linux 40 (Workstation Edition)'\n", ""), "Fedora Linux 40 (Workstation Edition)");
    EXPECT_EQ(systemText("PRETTY_NAME=Arch\\ Linux\n", "6.9.1-arch1-1"), "Arch Linux (6.9.1-arch1-1)");
    EXPECT_EQ(systemText("PRETTY_NAME=\"say \\\"hi\\\"\"\r\n", "6.1"), "say \"hi\" (6.1)");
    EXPECT_EQ(systemText("", "6.1.0"), "Linux (6.1.0)");
}

} // namespace
} // namespace tintra
