#include "catalogue/Catalogue.h"
#include "catalogue/EventFilter.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace tintra {
namespace {

TEST(SoundID, TextFormShowsUnprintableBytesAsQuestionMarks)
{
    EXPECT_EQ(TintraSoundID(0x216D6F74).description(), "!mot");
    EXPECT_EQ(TintraSoundID(0x00000001).description(), "????");
    EXPECT_EQ(TintraSoundID(0x7E20FF7F).description(), "~ ??");
    EXPECT_EQ(TintraSoundID("mnuo").rawValue, 0x6D6E756Fu);
}

TEST(SoundID, ParsesOnlyKeysOfExactlyFourBytesBigEndian)
{
    EXPECT_EQ(TintraSoundID::fromText("wclp"), TintraSoundID("wclp"));
    EXPECT_EQ(TintraSoundID::fromText("dtBE"), TintraSoundID::dragBegin);
    EXPECT_FALSE(TintraSoundID::fromText("mnu"));
    EXPECT_FALSE(TintraSoundID::fromText("mnuoo"));
    EXPECT_FALSE(TintraSoundID::fromText("mnuö")); // four characters, five bytes
    EXPECT_EQ(TintraSoundID::fromText("\xC3\xA9\xC3\xA9")->rawValue, 0xC3A9C3A9u); // two é are four bytes
}

TEST(Catalogue, CountsOfTheFullAndListedTablesAndCategories)
{
    EXPECT_EQ(fullCatalogue().size(), 141u);
    ASSERT_EQ(listedCatalogue().size(), 139u);
    EXPECT_EQ(entriesByCategory(TintraSoundCategory::menu).size(), 4u);
    EXPECT_EQ(entriesByCategory(TintraSoundCategory::control).size(), 82u);
    EXPECT_EQ(entriesByCategory(TintraSoundCategory::window).size(), 40u);
    EXPECT_EQ(entriesByCategory(TintraSoundCategory::finder).size(), 13u);

    for (const auto& entry : listedCatalogue()) {
        EXPECT_NE(entry.soundID, TintraSoundID::applicationQuit);
        EXPECT_NE(entry.fileName, "DragTragetDrop.aiff");
    }
    EXPECT_EQ(listedCatalogue().front().soundID, TintraSoundID("mnuo"));
    EXPECT_EQ(listedCatalogue()[136].soundID, TintraSoundID("drag"));
    EXPECT_EQ(listedCatalogue()[137].soundID, TintraSoundID::login);
    EXPECT_EQ(listedCatalogue().back().soundID, TintraSoundID::logout);
}

TEST(Catalogue, ListedCodesAndFileNamesAreUnique)
{
    std::set<TintraSoundID> codes;
    std::set<std::string> names;
    for (const auto& entry : listedCatalogue()) {
        EXPECT_TRUE(codes.insert(entry.soundID).second) << entry.soundID.description();
        EXPECT_TRUE(names.insert(lowercased(entry.fileName)).second) << entry.fileName;
        EXPECT_EQ(entry.volume, 1.0);
    }
}

TEST(Catalogue, TheMisspeltAliasProvidesDragTargetDropOnlyByFileName)
{
    const auto* byCode = entryBySoundID(TintraSoundID("dtdr"));
    ASSERT_NE(byCode, nullptr);
    EXPECT_EQ(byCode->fileName, "DragTargetDrop.aiff");

    const auto* byAlias = entryByFileName("dragtragetdrop");
    ASSERT_NE(byAlias, nullptr);
    EXPECT_EQ(byAlias->fileName, "DragTragetDrop.aiff");
    EXPECT_EQ(byAlias->soundID, TintraSoundID("dtdr"));
}

TEST(Catalogue, FileNameLookupIgnoresCaseAndWantsTheBaseName)
{
    ASSERT_NE(entryByFileName("MENUOPEN"), nullptr);
    EXPECT_EQ(entryByFileName("MenuOpen")->soundID, TintraSoundID("mnuo"));
    EXPECT_EQ(entryByFileName("MenuOpen.aiff"), nullptr);
    EXPECT_EQ(entryByFileName(""), nullptr);
    EXPECT_EQ(entryBySoundID(TintraSoundID("zzzz")), nullptr);
}

TEST(Catalogue, FlagsOfTheRowsThePlayerTreatsSpecially)
{
    const auto flagsOf = [](TintraSoundID id) { return entryBySoundID(id)->flags; };
    EXPECT_EQ(flagsOf(TintraSoundID("drag")),
        (TintraSoundFlags { TintraSoundFlags::looping, TintraSoundFlags::singleInstance, TintraSoundFlags::persistsOverOthers }));
    EXPECT_EQ(flagsOf(TintraSoundID::login), (TintraSoundFlags { TintraSoundFlags::centered, TintraSoundFlags::singleInstance }));
    EXPECT_TRUE(flagsOf(TintraSoundID("mnuo")).isEmpty());
    for (const auto& entry : fullCatalogue()) {
        EXPECT_TRUE(entry.flags.isSubset(TintraSoundFlags(0x1Eu))) << entry.soundID.description();
        if (entry.flags.contains(TintraSoundFlags::looping)) {
            EXPECT_TRUE(entry.flags.contains(TintraSoundFlags::singleInstance)) << entry.soundID.description();
        }
    }
}

TEST(Catalogue, LookupsAreBuiltOnceAndSafelyFromManyThreads)
{
    std::vector<const TintraSetEntry*> seen(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = entryByFileName("windowclosepress"); });
    for (auto& thread : threads)
        thread.join();
    for (const auto* entry : seen)
        EXPECT_EQ(entry, entryBySoundID(TintraSoundID("wclp")));
}

TEST(DisplayName, SplitsTheFileNameBeforeEachCapital)
{
    const auto entryNamed = [](std::string_view fileName) {
        TintraSetEntry entry;
        entry.fileName = fileName;
        return entry;
    };
    const auto nameOf = [](std::string_view code) {
        return displayName(*TintraSoundID::fromText(code));
    };
    EXPECT_EQ(nameOf("mnui"), "Menu Item Hilite");
    EXPECT_EQ(nameOf("sbad"), "Drag Sound Scroll Bar Arrow Decreasing");
    EXPECT_EQ(nameOf("!lgi"), "Login");
    EXPECT_EQ(nameOf("wclp"), "Window Close Press");
    EXPECT_EQ(displayName(TintraSoundID("zzzz")), std::nullopt);

    EXPECT_EQ(displayName(entryNamed("already spaced.aiff")), "already spaced");
    EXPECT_EQ(displayName(entryNamed("ABC.aiff")), "A B C");
    EXPECT_EQ(displayName(entryNamed(".aiff")), ".aiff");
}

TEST(SoundFlags, SetAlgebra)
{
    using F = TintraSoundFlags;
    F flags { F::looping, F::centered };
    EXPECT_EQ(flags.rawValue, 0x6u);
    EXPECT_FALSE(flags.insert(F::looping));
    EXPECT_TRUE(flags.insert(F::singleInstance));
    EXPECT_TRUE(flags.remove(F::centered));
    EXPECT_FALSE(flags.remove(F::centered));
    EXPECT_EQ(flags, (F { F::looping, F::singleInstance }));

    const F other { F::singleInstance, F::persistsOverOthers };
    EXPECT_EQ(flags.unionWith(other).rawValue, 0x1Au);
    EXPECT_EQ(flags.intersection(other), F::singleInstance);
    EXPECT_EQ(flags.symmetricDifference(other), (F { F::looping, F::persistsOverOthers }));
    EXPECT_EQ(flags.subtracting(other), F::looping);
    EXPECT_TRUE(F { F::looping }.isSubset(flags));
    EXPECT_FALSE(flags.isSubset(F::looping));
    EXPECT_TRUE(flags.isSuperset(F::looping));
    EXPECT_TRUE(F(F::centered).isDisjoint(flags));
    EXPECT_FALSE(flags.isDisjoint(other));
    EXPECT_TRUE(F {}.isEmpty());

    flags.formSymmetricDifference(other);
    EXPECT_EQ(flags, (F { F::looping, F::persistsOverOthers }));
    flags.formIntersection(F::looping);
    EXPECT_EQ(flags, F::looping);
}

TEST(CategoriesAndFilters, RawValuesOutsideTheCasesYieldNothing)
{
    EXPECT_EQ(soundCategory(3), TintraSoundCategory::finder);
    EXPECT_EQ(soundCategory(4), std::nullopt);
    EXPECT_EQ(soundCategory(-1), std::nullopt);
    EXPECT_EQ(title(TintraSoundCategory::window), "Windows");
    EXPECT_EQ(soundCategory("control"), TintraSoundCategory::control);
    EXPECT_EQ(soundCategory("Controls"), std::nullopt);

    EXPECT_EQ(eventFilter("custom"), TintraEventFilter::custom);
    EXPECT_EQ(eventFilter("All"), std::nullopt);
    EXPECT_EQ(title(TintraEventFilter::all), "All Events");
    EXPECT_EQ(title(TintraEventFilter::custom), "Custom Sound");
    for (auto filter : allEventFilters)
        EXPECT_EQ(eventFilter(rawValue(filter)), filter);
}

} // namespace
} // namespace tintra
