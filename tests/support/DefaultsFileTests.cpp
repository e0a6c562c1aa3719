#include "fakes/DefaultsMemory.h"
#include "fakes/TemporaryFolder.h"
#include "support/DefaultsFile.h"
#include "support/PropertyListPrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

namespace tintra {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

constexpr const char* kDomain = "org.tintradorvel.TintraDorvel";

// The typed reads are shared by every store; the memory store exercises them.

TEST(Defaults, MissingOrWronglyTypedValuesYieldTheCallersDefault)
{
    DefaultsMemory defaults(PropertyList::Dictionary {
        { "TintraPlaysClickSounds", 1 },
        { "TintraMasterVolume", "loud" },
        { "TintraBaselineSetIdentifier", 7 },
        { "TintraSoundSetOverrides", PropertyList::Array {} },
        { "TintraIncludedDefaultExclusions", PropertyList::Dictionary {} },
        { "TintraCustomSoundBookmarks", "not data" },
        { "TintraDorvelLaunchCount", true },
    });
    EXPECT_TRUE(defaults.boolForKey("TintraPlaysClickSounds", true));
    EXPECT_FALSE(defaults.boolForKey("TintraPlaysClickSounds", false));
    EXPECT_FALSE(defaults.boolForKey("TintraMissing", false));
    EXPECT_EQ(defaults.doubleForKey("TintraMasterVolume", 1.0), 1.0);
    EXPECT_EQ(defaults.stringForKey("TintraBaselineSetIdentifier"), std::nullopt);
    EXPECT_EQ(defaults.stringForKey("TintraBaselineSetIdentifier", "standard"), "standard");
    EXPECT_EQ(defaults.dictionaryForKey("TintraSoundSetOverrides"), std::nullopt);
    EXPECT_EQ(defaults.arrayForKey("TintraIncludedDefaultExclusions"), std::nullopt);
    EXPECT_EQ(defaults.dataForKey("TintraCustomSoundBookmarks"), std::nullopt);
    EXPECT_EQ(defaults.integerForKey("TintraDorvelLaunchCount", 0), 0);
    EXPECT_EQ(defaults.valueForKey("TintraMissing"), std::nullopt);
}

TEST(Defaults, StoredValuesOfTheRightKindAreReturned)
{
    DefaultsMemory defaults;
    defaults.set("TintraShowsClickSparks", true);
    defaults.set("TintraBaselineSetIdentifier", "org.tintradorvel.platinum");
    defaults.set("TintraSoundSetOverrides", PropertyList::Dictionary { { "clik", "" } });
    defaults.set("TintraIncludedDefaultExclusions", PropertyList::Array { "org.gnome.Terminal" });
    defaults.set("TintraCustomSoundBookmarks", PropertyList::Dictionary { { "beep", Bytes { 1, 2, 3 } } });
    defaults.set("Blob", Bytes { 9 });
    EXPECT_EQ(defaults.writeCount(), 6);

    EXPECT_TRUE(defaults.boolForKey("TintraShowsClickSparks", false));
    EXPECT_EQ(defaults.stringForKey("TintraBaselineSetIdentifier", "x"), "org.tintradorvel.platinum");
    EXPECT_EQ(defaults.dictionaryForKey("TintraSoundSetOverrides"), (PropertyList::Dictionary { { "clik", "" } }));
    EXPECT_EQ(defaults.arrayForKey("TintraIncludedDefaultExclusions"), (PropertyList::Array { "org.gnome.Terminal" }));
    EXPECT_EQ(defaults.dataForKey("Blob"), (Bytes { 9 }));
    EXPECT_EQ(defaults.valueForKey("TintraCustomSoundBookmarks"),
              PropertyList(PropertyList::Dictionary { { "beep", Bytes { 1, 2, 3 } } }));
}

TEST(Defaults, NumbersCrossBetweenIntegerAndRealOnlyWhenExact)
{
    DefaultsMemory defaults(PropertyList::Dictionary {
        { "whole real", 3.0 },
        { "half", 3.5 },
        { "huge real", 1e19 },
        { "two to 63", 9223372036854775808.0 },
        { "minus two to 63", -9223372036854775808.0 },
        { "nan", std::numeric_limits<double>::quiet_NaN() },
        { "integer", 42 },
        { "unrepresentable", (std::int64_t(1) << 53) + 1 },
        { "largest", std::numeric_limits<std::int64_t>::max() },
    });
    EXPECT_EQ(defaults.integerForKey("whole real", -1), 3);
    EXPECT_EQ(defaults.integerForKey("half", -1), -1);
    EXPECT_EQ(defaults.integerForKey("huge real", -1), -1);
    EXPECT_EQ(defaults.integerForKey("two to 63", -1), -1);
    EXPECT_EQ(defaults.integerForKey("minus two to 63", -1), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(defaults.integerForKey("nan", -1), -1);
    EXPECT_EQ(defaults.doubleForKey("integer", -1), 42.0);
    EXPECT_EQ(defaults.doubleForKey("unrepresentable", -1), -1.0);
    EXPECT_EQ(defaults.doubleForKey("largest", -1), -1.0);
    EXPECT_EQ(defaults.doubleForKey("whole real", -1), 3.0);
}

TEST(Defaults, AValueThatCannotBeWrittenIsRefusedAndTheOldOneKept)
{
    DefaultsMemory defaults;
    defaults.set("TintraBaselineSetIdentifier", "standard");
    testing::internal::CaptureStdout();
    defaults.set("TintraBaselineSetIdentifier", std::string("bad\0name", 8));
    defaults.set("Far future", WallTime(std::chrono::sys_days { std::chrono::year { 2200 } / 1 / 1 }));
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(defaults.stringForKey("TintraBaselineSetIdentifier", ""), "standard");
    EXPECT_EQ(defaults.valueForKey("Far future"), std::nullopt);
    EXPECT_EQ(defaults.writeCount(), 1);
    EXPECT_EQ(output.rfind("Defaults: ", 0), 0u) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 2);
}

TEST(DefaultsFile, ValuesSurviveReopeningAndTheFileIsXML)
{
    TemporaryFolder folder;
    const auto date = WallTime(std::chrono::sys_days { std::chrono::year { 2026 } / 3 / 14 }) + 15h + 9min + 26s;
    {
        DefaultsFile defaults(folder.path(), kDomain);
        defaults.set("TintraPlaysKeyPressSounds", true);
        defaults.set("TintraMasterVolume", 0.35);
        defaults.set("TintraDorvelLaunchCount", -3);
        defaults.set("TintraBaselineSetIdentifier", "org.tintradorvel.hi-tech");
        defaults.set("TintraExcludedApplications", PropertyList::Dictionary { { "org.gnome.Nautilus", "Files" } });
        defaults.set("TintraIncludedDefaultExclusions", PropertyList::Array { "org.kde.dolphin" });
        defaults.set("TintraCustomSoundBookmarks", PropertyList::Dictionary { { "beep", Bytes { 0, 255 } } });
        defaults.set("LastSeen", date);
        defaults.set("TintraDorvelLaunchCount", 4);
    }
    const fs::path file = folder.path() / "org.tintradorvel.TintraDorvel.plist";
    EXPECT_EQ(contentsOf(file).rfind("<?xml", 0), 0u);

    DefaultsFile reopened(folder.path(), kDomain);
    EXPECT_EQ(reopened.fileURL(), file);
    EXPECT_TRUE(reopened.boolForKey("TintraPlaysKeyPressSounds", false));
    EXPECT_EQ(reopened.doubleForKey("TintraMasterVolume", 1.0), 0.35);
    EXPECT_EQ(reopened.integerForKey("TintraDorvelLaunchCount", 0), 4);
    EXPECT_EQ(reopened.stringForKey("TintraBaselineSetIdentifier"), "org.tintradorvel.hi-tech");
    EXPECT_EQ(reopened.dictionaryForKey("TintraExcludedApplications"),
              (PropertyList::Dictionary { { "org.gnome.Nautilus", "Files" } }));
    EXPECT_EQ(reopened.arrayForKey("TintraIncludedDefaultExclusions"), (PropertyList::Array { "org.kde.dolphin" }));
    EXPECT_EQ(reopened.dictionaryForKey("TintraCustomSoundBookmarks"),
              (PropertyList::Dictionary { { "beep", Bytes { 0, 255 } } }));
    EXPECT_EQ(reopened.valueForKey("LastSeen"), PropertyList(date));
    // Only the settings file: no temporary left behind.
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string> { "org.tintradorvel.TintraDorvel.plist" }));
}

TEST(DefaultsFile, RemovingAKeyPersists)
{
    TemporaryFolder folder;
    {
        DefaultsFile defaults(folder.path(), kDomain);
        defaults.set("TintraShowsMenuBarItem", false);
        defaults.set("TintraAutoPanEnabled", true);
        defaults.removeKey("TintraShowsMenuBarItem");
        EXPECT_TRUE(defaults.boolForKey("TintraShowsMenuBarItem", true));
    }
    DefaultsFile reopened(folder.path(), kDomain);
    EXPECT_EQ(reopened.valueForKey("TintraShowsMenuBarItem"), std::nullopt);
    EXPECT_TRUE(reopened.boolForKey("TintraAutoPanEnabled", false));
}

TEST(DefaultsFile, WronglyTypedValuesInTheFileYieldDefaults)
{
    TemporaryFolder folder;
    writeFile(folder.path() / "org.tintradorvel.TintraDorvel.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
              "<key>TintraPlaysClickSounds</key><string>YES</string>"
              "<key>TintraMasterVolume</key><integer>1</integer>"
              "<key>TintraExcludedApplications</key><array/>"
              "</dict></plist>");
    DefaultsFile defaults(folder.path(), kDomain);
    EXPECT_FALSE(defaults.boolForKey("TintraPlaysClickSounds", false));
    EXPECT_EQ(defaults.doubleForKey("TintraMasterVolume", 0.5), 1.0);
    EXPECT_EQ(defaults.dictionaryForKey("TintraExcludedApplications"), std::nullopt);
    EXPECT_EQ(defaults.stringForKey("TintraPlaysClickSounds"), "YES");
}

TEST(DefaultsFile, AnUnreadableFileIsMovedAsideAndTheNextWriteLosesNothing)
{
    const std::string damaged[] = {
        "<?xml version=\"1.0\"?><plist><dict><key>TintraPlaysClickSounds</key>",
        "<plist><array><true/></array></plist>", // top level is not a dictionary
        std::string("bplist00\x01\x02", 10),
    };
    for (const auto& bytes : damaged) {
        TemporaryFolder folder;
        const fs::path file = folder.path() / "org.tintradorvel.TintraDorvel.plist";
        writeFile(file, bytes);

        testing::internal::CaptureStdout();
        DefaultsFile defaults(folder.path(), kDomain);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.rfind("DefaultsFile: ", 0), 0u) << output;
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
        EXPECT_EQ(defaults.valueForKey("TintraPlaysClickSounds"), std::nullopt);

        defaults.set("TintraPlaysNotificationSounds", true);
        EXPECT_EQ(contentsOf(fs::path(file.string() + ".corrupt")), bytes);
        DefaultsFile reopened(folder.path(), kDomain);
        EXPECT_TRUE(reopened.boolForKey("TintraPlaysNotificationSounds", false));
    }
}

TEST(DefaultsFile, CreatesAMissingFolderOnTheFirstWrite)
{
    TemporaryFolder folder;
    const fs::path nested = folder.path() / "config" / "tintra-dorvel";
    DefaultsFile defaults(nested, kDomain);
    EXPECT_FALSE(fs::exists(nested));
    defaults.set("TintraMutesForFocus", true);
    EXPECT_TRUE(DefaultsFile(nested, kDomain).boolForKey("TintraMutesForFocus", false));
}

TEST(DefaultsFile, AFailedWriteIsReportedAndTheValueKeptInMemory)
{
    TemporaryFolder folder;
    // A regular file where the folder should be: works even for root.
    const fs::path blocked = folder.path() / "blocked";
    writeFile(blocked, "not a folder");
    DefaultsFile defaults(blocked, kDomain);

    testing::internal::CaptureStdout();
    defaults.set("TintraMutesForGameMode", false);
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(output.rfind("DefaultsFile: ", 0), 0u) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_FALSE(defaults.boolForKey("TintraMutesForGameMode", true));
    EXPECT_EQ(contentsOf(blocked), "not a folder");
}

TEST(DefaultsFile, StandardFolderFollowsXDGConfigHomeOnlyWhenAbsolute)
{
    const fs::path home = "/home/ada";
    EXPECT_EQ(DefaultsFile::standardFolder("/tmp/config", home), fs::path("/tmp/config/tintra-dorvel/"));
    EXPECT_EQ(DefaultsFile::standardFolder(nullptr, home), fs::path("/home/ada/.config/tintra-dorvel/"));
    EXPECT_EQ(DefaultsFile::standardFolder("", home), fs::path("/home/ada/.config/tintra-dorvel/"));
    EXPECT_EQ(DefaultsFile::standardFolder("relative/config", home), fs::path("/home/ada/.config/tintra-dorvel/"));
    EXPECT_EQ(DefaultsFile::standardDomain(), "org.tintradorvel.TintraDorvel");
}

} // namespace
} // namespace tintra
