#include "workspace/DesktopEntry.h"
#include "engine/Exclusions.h"
#include "fakes/DefaultsMemory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace tintra {
namespace {

constexpr const char* kAgent = "com.apple.MenuBarAgent";

const TintraExclusions::DefaultTable kDefaults {
    { kAgent, { "MenuBarAgent", "New in macOS 27, and observing it plays a lot of sounds twice." } },
};

PropertyList::Array strings(std::initializer_list<const char*> items)
{
    PropertyList::Array array;
    for (const auto* item : items)
        array.emplace_back(item);
    return array;
}

TEST(ExclusionsTest, NothingIsExcludedAtFirstAndAnAbsentIdentifierNever)
{
    DefaultsMemory defaults;
    TintraExclusions exclusions(defaults, {});

    EXPECT_FALSE(exclusions.isExcluded(std::nullopt));
    EXPECT_FALSE(exclusions.isExcluded(kAgent)); // no default table on this platform
    EXPECT_TRUE(exclusions.exclusions().empty());
    EXPECT_EQ(defaults.writeCount(), 0);
}

TEST(ExclusionsTest, ExclusionsAreSavedAtOnceAndReadBack)
{
    DefaultsMemory defaults;
    {
        TintraExclusions exclusions(defaults, kDefaults);
        exclusions.exclude("org.gnome.TextEditor", "Text Editor");
        exclusions.include(kAgent);
    }
    EXPECT_EQ(defaults.values().at("TintraExcludedApplications"),
        PropertyList(PropertyList::Dictionary { { "org.gnome.TextEditor", "Text Editor" } }));
    EXPECT_EQ(defaults.values().at("TintraIncludedDefaultExclusions"), PropertyList(strings({ kAgent })));

    TintraExclusions reread(defaults, kDefaults);
    EXPECT_TRUE(reread.isExcluded("org.gnome.TextEditor"));
    EXPECT_FALSE(reread.isExcluded(kAgent));
}

TEST(ExclusionsTest, IncludingADefaultExclusionAndExcludingItAgainRestoresItsName)
{
    DefaultsMemory defaults;
    TintraExclusions exclusions(defaults, kDefaults);
    EXPECT_TRUE(exclusions.isExcluded(kAgent));
    EXPECT_EQ(exclusions.defaultExclusion(kAgent)->name, "MenuBarAgent");

    exclusions.include(kAgent);
    EXPECT_FALSE(exclusions.isExcluded(kAgent));
    EXPECT_EQ(exclusions.defaultExclusion(kAgent), std::nullopt);
    EXPECT_TRUE(exclusions.excludedNames().empty());

    exclusions.exclude(kAgent);
    EXPECT_TRUE(exclusions.isExcluded(kAgent));
    EXPECT_EQ(defaults.values().at("TintraExcludedApplications"),
        PropertyList(PropertyList::Dictionary { { kAgent, "MenuBarAgent" } }));
    EXPECT_EQ(defaults.values().at("TintraIncludedDefaultExclusions"), PropertyList(PropertyList::Array {}));
}

TEST(ExclusionsTest, ANamelessExclusionKeepsAnEarlierNameOrShowsItsIdentifier)
{
    DefaultsMemory defaults;
    TintraExclusions exclusions(defaults, {});
    exclusions.exclude("org.example.Zed", "Zed");
    exclusions.exclude("org.example.Zed");
    exclusions.exclude("org.example.bare");
    exclusions.exclude("org.example.Set10", "set 10");
    exclusions.exclude("org.example.Set2", "Set 2");

    EXPECT_EQ(exclusions.exclusions(), (std::vector<TintraExclusion> { { "org.example.bare", "" },
                                                 { "org.example.Set2", "Set 2" }, { "org.example.Set10", "set 10" },
                                                 { "org.example.Zed", "Zed" } }));
}

TEST(ExclusionsTest, AnEmptyStoredNameGivesWayToTheDefaultsName)
{
    DefaultsMemory defaults(PropertyList::Dictionary {
        { "TintraExcludedApplications", PropertyList::Dictionary { { kAgent, "" } } } });
    TintraExclusions exclusions(defaults, kDefaults);

    EXPECT_EQ(exclusions.excludedNames(), (TintraExclusions::Names { { kAgent, "MenuBarAgent" } }));
    exclusions.include(kAgent); // removes the stored one and switches the default off
    EXPECT_FALSE(exclusions.isExcluded(kAgent));
}

TEST(ExclusionsTest, AStoredDictionaryWithANonTextNameIsDiscardedWhole)
{
    DefaultsMemory defaults(PropertyList::Dictionary {
        { "TintraExcludedApplications", PropertyList::Dictionary { { "org.a", "A" }, { "org.b", 2 } } },
        { "TintraIncludedDefaultExclusions", "not an array" } });
    TintraExclusions exclusions(defaults, kDefaults);

    EXPECT_FALSE(exclusions.isExcluded("org.a"));
    EXPECT_TRUE(exclusions.isExcluded(kAgent));
}

TEST(ExclusionsTest, IncludingWhatWasNeverExcludedWritesNothing)
{
    DefaultsMemory defaults;
    TintraExclusions exclusions(defaults, kDefaults);
    exclusions.include("org.example.never");
    EXPECT_EQ(defaults.writeCount(), 0);

    exclusions.include(kAgent);
    const auto writes = defaults.writeCount();
    exclusions.include(kAgent);
    EXPECT_EQ(defaults.writeCount(), writes);
}

TEST(ExclusionsTest, TheListTellsItsObserversOfEveryChange)
{
    DefaultsMemory defaults;
    TintraExclusions exclusions(defaults, {});
    int told = 0;
    auto subscription = exclusions.observeExclusions([&](const auto&) { ++told; });

    exclusions.exclude("org.a", "A");
    exclusions.exclude("org.a", "A"); // the same list again
    exclusions.include("org.a");
    EXPECT_EQ(told, 2);
}

// --- Application files

class ExclusionsFileTest : public ::testing::Test {
protected:
    ExclusionsFileTest()
    {
        folder = std::filesystem::path(::testing::TempDir()) / ("exclusions-" + std::to_string(::getpid()) + "-"
                     + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder / "applications" / "kde");
    }
    ~ExclusionsFileTest() override { std::filesystem::remove_all(folder); }

    std::filesystem::path write(const std::filesystem::path& relative, const std::string& contents)
    {
        const auto path = folder / relative;
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    std::filesystem::path folder;
    DefaultsMemory defaults;
    TintraExclusions exclusions { defaults, {} };
};

TEST_F(ExclusionsFileTest, ADesktopEntryIsExcludedByItsIDUnderItsName)
{
    const auto file = write("applications/org.gnome.TextEditor.desktop",
        "# comment\n[Desktop Entry]\nType=Application\nName[de]=Texteditor\nName = Text\\sEditor\nName=Second\n");

    ASSERT_TRUE(exclusions.excludeApplication(file).has_value());
    EXPECT_EQ(exclusions.excludedNames(), (TintraExclusions::Names { { "org.gnome.TextEditor", "Text Editor" } }));
}

TEST_F(ExclusionsFileTest, WithoutANameTheFileNameIsShown)
{
    const auto file = write("applications/kde/konsole.desktop", "[Desktop Entry]\nExec=konsole\n[Desktop Action new]\nName=New\n");

    ASSERT_TRUE(exclusions.excludeApplication(file).has_value());
    EXPECT_EQ(exclusions.excludedNames(), (TintraExclusions::Names { { "kde-konsole", "konsole" } }));
}

TEST_F(ExclusionsFileTest, AFileThatIsNoDesktopEntryIsRefusedAndNothingStored)
{
    const auto notes = write("Notes.txt", "[Desktop Entry]\nName=Notes\n");
    const auto groupless = write("applications/broken.desktop", "Name=Broken\n");

    const auto refused = exclusions.excludeApplication(notes);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().description(), "Notes.txt has no bundle identifier, and an exclusion has nothing else to key on.");
    EXPECT_FALSE(exclusions.excludeApplication(groupless).has_value());
    EXPECT_FALSE(exclusions.excludeApplication(folder / "applications" / "missing.desktop").has_value());
    EXPECT_FALSE(exclusions.excludeApplication(folder / "applications").has_value());
    EXPECT_TRUE(exclusions.excludedNames().empty());
    EXPECT_EQ(defaults.writeCount(), 0);
}

TEST(DesktopEntryTest, TheIDFollowsTheFoldersBelowTheLastApplicationsFolder)
{
    EXPECT_EQ(desktopEntryIdentifier("/usr/share/applications/org.gnome.Calculator.desktop"), "org.gnome.Calculator");
    EXPECT_EQ(desktopEntryIdentifier("/usr/share/applications/kde4/dolphin.desktop"), "kde4-dolphin");
    EXPECT_EQ(desktopEntryIdentifier("/opt/applications/x/applications/a/b.desktop"), "a-b");
    EXPECT_EQ(desktopEntryIdentifier("/home/me/Desktop/firefox.desktop"), "firefox");
    EXPECT_EQ(desktopEntryIdentifier("/home/me/.desktop"), std::nullopt);
    EXPECT_EQ(desktopEntryIdentifier("/home/me/firefox.Desktop"), std::nullopt);
}

TEST(DesktopEntryTest, EscapesAreUndoneAndAnUnknownOneIsKept)
{
    const auto entry = parseDesktopEntry("x", "[Desktop Entry]\nName=A\\\\B\\tC\\qD\\\n");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->name, "A\\B\tC\\qD\\");
    EXPECT_EQ(parseDesktopEntry("x", "[Other]\nName=A\n"), std::nullopt);
}

} // namespace
} // namespace tintra
