#include "ui/EventList.h"
#include "ui/EventRowOptions.h"

#include "catalogue/Catalogue.h"
#include "fakes/ControllerRig.h"
#include "fakes/SoundSetFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

constexpr TintraSoundID kMenuOpen { "mnuo" };
constexpr TintraSoundID kMenuClose { "mnuc" };

// A library of two sets on the fakes; "classic" is the baseline.
struct EventListTest : ::testing::Test {
    testing::ControllerRig rig;
    TintraController& controller = rig.make();
    TintraAssignments& assignments = controller.assignments();

    void SetUp() override
    {
        rig.installSet("classic", { kMenuOpen, kMenuClose, TintraSoundID::keyPress });
        rig.installSet("zither", { kMenuOpen });
        controller.reloadLibrary();
        ASSERT_EQ(assignments.baselineIdentifier().get(), "classic");
    }
    std::vector<TintraEventRow> rows() { return readEventRows(assignments, controller.library()); }
    static std::vector<std::string> names(const std::vector<TintraEventListSection>& sections)
    {
        std::vector<std::string> names;
        for (const auto& section : sections) {
            names.push_back(std::string(title(section.category)) + ":");
            for (const auto* row : section.rows)
                names.push_back(row->name);
        }
        return names;
    }
    std::vector<std::string> optionTitles(TintraSoundID soundID)
    {
        std::vector<std::string> titles;
        for (const auto& option : rowOptions(soundID, assignments, controller.library()))
            titles.push_back(option.title);
        return titles;
    }
};

TEST_F(EventListTest, FilterAndSearchPickRowsBySectionInCatalogueOrder)
{
    ASSERT_TRUE(assignments.setSelection(TintraSelection::silent(), kMenuClose));
    const auto all = rows();
    ASSERT_EQ(all.size(), listedCatalogue().size());

    EXPECT_EQ(names(eventListSections(all, TintraEventFilter::enabled, "")),
        (std::vector<std::string> { "Windows:", "Key Press", "Menus:", "Menu Open" }));
    EXPECT_EQ(names(eventListSections(all, TintraEventFilter::disabled, "menu c")),
        (std::vector<std::string> { "Menus:", "Menu Close" }));
    // The search ignores case and white space at either end, and finds file names and codes.
    EXPECT_EQ(names(eventListSections(all, TintraEventFilter::all, "  MENUOPEN.aiff ")),
        (std::vector<std::string> { "Menus:", "Menu Open" }));
    EXPECT_EQ(names(eventListSections(all, TintraEventFilter::all, "!kdo")),
        (std::vector<std::string> { "Windows:", "Key Press" }));
    EXPECT_TRUE(eventListSections(all, TintraEventFilter::custom, "").empty());
    EXPECT_EQ(eventListSections(all, TintraEventFilter::all, " \n").size(), 4u) << "a blank search is none";

    std::size_t listed = 0;
    for (const auto& section : eventListSections(all, TintraEventFilter::all, ""))
        listed += section.rows.size();
    EXPECT_EQ(listed, all.size());
}

TEST_F(EventListTest, ACustomFileCountsAndIsOfferedUntilItIsGone)
{
    const auto file = rig.folder / "Pop.wav";
    testing::writeSound(file);
    ASSERT_TRUE(assignments.setCustomSound(file, kMenuClose));

    auto current = rows();
    EXPECT_EQ(customSoundCount(assignments), 1);
    EXPECT_EQ(names(eventListSections(current, TintraEventFilter::custom, "")),
        (std::vector<std::string> { "Menus:", "Menu Close" }));
    EXPECT_EQ(optionTitles(kMenuClose),
        (std::vector<std::string> { "Same as Sound Set (classic)", "classic", "zither (no sound)", "Pop.wav", "None",
            "Choose File…" }));
    const auto options = rowOptions(kMenuClose, assignments, controller.library());
    EXPECT_EQ(options[3].selection, TintraSelection::custom(file));
    EXPECT_TRUE(options.back().isChoose());

    std::filesystem::remove(file);
    current = rows();
    EXPECT_FALSE(std::find_if(current.begin(), current.end(), [](const auto& row) {
        return row.entry->soundID == kMenuClose;
    })->willPlay) << "a missing file plays nothing";
    EXPECT_EQ(optionTitles(kMenuClose)[3], "Pop.wav (missing)");
}

TEST_F(EventListTest, WithoutABaselineTheFirstOptionNamesNoSet)
{
    assignments.setBaselineIdentifier(std::nullopt);
    EXPECT_EQ(optionTitles(kMenuOpen),
        (std::vector<std::string> { "Same as Sound Set", "classic", "zither", "None", "Choose File…" }));
    EXPECT_TRUE(eventListSections(rows(), TintraEventFilter::enabled, "").empty());
}

} // namespace
} // namespace tintra
