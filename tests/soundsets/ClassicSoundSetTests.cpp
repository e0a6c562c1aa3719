#include "soundsets/ClassicFileWriter.h"
#include "fakes/TemporaryFolder.h"
#include "soundsets/ClassicSoundSet.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tintra {
namespace {

using namespace testing;

// Resources held in memory, by type.
class MemoryResources final : public TintraResourceProviding {
public:
    MemoryResources& add(std::string type, TintraRawResource resource)
    {
        byType_[std::move(type)].push_back(std::move(resource));
        return *this;
    }
    std::vector<TintraRawResource> resources(std::string_view ofType) const override
    {
        const auto found = byType_.find(std::string(ofType));
        return found == byType_.end() ? std::vector<TintraRawResource> {} : found->second;
    }

private:
    std::map<std::string, std::vector<TintraRawResource>> byType_;
};

const Bytes someSound = soundFormat2(standardHeader({ 1, 2, 3 }, 0x56EE8BA3));

TEST(SoundList, EntrySizeDecidesWhereTheSlotsAre)
{
    const auto twenty = parseSoundList(soundList({ { "mnuo", { 10, 0, 12 } }, { "wmov", { 1, 2, 3 } } }, 20));
    ASSERT_EQ(twenty.size(), 2u);
    EXPECT_EQ(twenty[0], (SoundListEntry { "mnuo", { 10, std::nullopt, 12 } }));
    EXPECT_EQ(twenty[1].soundID, TintraSoundID("wmov"));

    const auto fortyFour = parseSoundList(soundList({ { "btnp", { 5, 6, 7, 8 } } }, 44));
    ASSERT_EQ(fortyFour.size(), 1u);
    EXPECT_EQ(fortyFour[0].slots, (std::vector<std::optional<std::int16_t>> { 5, 6, 7, 8 }));

    const auto twelve = parseSoundList(soundList({ { "btnp", { -3, 4, 9, 9 } } }, 12));
    ASSERT_EQ(twelve.size(), 1u);
    EXPECT_EQ(twelve[0].slots, (std::vector<std::optional<std::int16_t>> { -3, 4, 9, 9 }));
}

TEST(SoundList, ShortOrEmptyListsGiveNothing)
{
    EXPECT_TRUE(parseSoundList(Bytes { 0, 0, 0 }).empty());
    EXPECT_TRUE(parseSoundList(Bytes { 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8 }).empty());
    EXPECT_TRUE(parseSoundList(Bytes { 0, 0, 0, 2, 1, 2, 3, 4, 5, 6, 7, 8 }).empty());  // 4-byte entries
    EXPECT_EQ(parseSoundList(Bytes { 0, 0, 0, 1, 'm', 'n', 'u', 'o', 0, 1, 0, 2, 0xEE }).size(), 1u);
}

TEST(SoundList, ChoosesTheFirstPresentSlotAndLoopingSoundsPreferSlotOne)
{
    const std::map<std::int16_t, Bytes> bodies { { 10, { 1 } }, { 11, { 1 } }, { 12, { 1 } }, { 13, { 1 } } };
    EXPECT_EQ(chooseSlot({ "mnuo", { 99, 11, 12 } }, bodies), 11);
    EXPECT_EQ(chooseSlot({ "mnuo", { 10, 11, 12, 13 } }, bodies), 10);
    EXPECT_EQ(chooseSlot({ "wmov", { 10, 11, 12, 13 } }, bodies), 11);
    EXPECT_EQ(chooseSlot({ "wmov", { 10, std::nullopt, 12, 13 } }, bodies), 12);
    EXPECT_EQ(chooseSlot({ "wmov", { 10 } }, bodies), 10);
    EXPECT_EQ(chooseSlot({ "wmov", { 98, 99, 97, 96, 13 } }, bodies), std::nullopt);  // slot 4 is never tried
    EXPECT_EQ(chooseSlot({ "mnuo", { std::nullopt, 99 } }, bodies), std::nullopt);
}

TEST(ClassicSoundSetParse, SoundListsComeFirstAndTheFirstMappingWins)
{
    MemoryResources resources;
    resources.add("snd ", { 10, "mnuc", someSound })
        .add("snd ", { 11, std::nullopt, someSound })
        .add("snd ", { 12, std::nullopt, {} })
        .add("snd#", { 1, std::nullopt, soundList({ { "mnuo", { 12, 11 } }, { "mnuo", { 10 } }, { "zzzz", { 10 } } }, 20) })
        .add("sdid", { 10, std::nullopt, Bytes { 'm', 'n', 'u', 'c' } });
    const auto set = parseClassicSoundSet(resources, "Hi");
    EXPECT_EQ(set.name, "Hi");
    // 'zzzz' has no catalogue row but the list still maps it; 'sdid' and names are not consulted.
    EXPECT_EQ(set.resourceIDsBySoundID, (std::map<TintraSoundID, std::int16_t> { { TintraSoundID("mnuo"), 11 }, { TintraSoundID("zzzz"), 10 } }));
    EXPECT_EQ(set.soundBodies.size(), 2u);  // the empty resource 12 is no sound
}

TEST(ClassicSoundSetParse, IdentificationResourcesNeedASoundAndACatalogueRow)
{
    MemoryResources resources;
    resources.add("snd ", { 10, "mnuc", someSound })
        .add("snd ", { 11, std::nullopt, someSound })
        .add("snd#", { 1, std::nullopt, soundList({ { "mnuo", { 99 } } }, 20) })
        .add("sdid", { 10, std::nullopt, Bytes { 'z', 'z', 'z', 'z' } })
        .add("sdid", { 11, std::nullopt, Bytes { 'w', 'c', 'l', 'p', 0 } })
        .add("sdid", { 12, std::nullopt, Bytes { 'w', 'c', 'l', 'x' } })
        .add("sdid", { 10, std::nullopt, Bytes { 'w', 'c' } })
        .add("sdid", { 10, std::nullopt, Bytes { 'w', 'c', 'l', 'p' } });
    EXPECT_EQ(parseClassicSoundSet(resources, "Hi").resourceIDsBySoundID,
              (std::map<TintraSoundID, std::int16_t> { { TintraSoundID("wclp"), 11 } }));
}

TEST(ClassicSoundSetParse, NamesMapEveryPieceTheCatalogueKnows)
{
    MemoryResources resources;
    resources.add("snd ", { 1, " wcop/Window Collapse", someSound })
        .add("snd ", { 2, "wcep / wcxp", someSound })
        .add("snd ", { 3, "ab", someSound })
        .add("snd ", { 4, "\t mnuo\t", someSound })
        .add("snd ", { 5, "wcop", someSound })
        .add("snd ", { 6, "mnu\xC3\xA9", someSound })
        .add("snd ", { 7, "mnus", {} });
    EXPECT_EQ(parseClassicSoundSet(resources, "Names").resourceIDsBySoundID,
              (std::map<TintraSoundID, std::int16_t> { { TintraSoundID("wcop"), 1 }, { TintraSoundID("mnuo"), 4 } }));
    // 'wcep'/'wcxp' and "Window Collapse" are no catalogue codes; 'mnus' has no sound bytes.
}

TEST(ClassicSoundSetParse, LaterResourceWithTheSameIDReplacesTheBodyAndCompressionIsRemembered)
{
    MemoryResources resources;
    resources.add("snd ", { 1, "mnuo", { 1 } }).add("snd ", { 1, std::nullopt, { 2 }, true });
    const auto set = parseClassicSoundSet(resources, "Twice");
    EXPECT_EQ(set.soundBodies.at(1), Bytes { 2 });
    EXPECT_EQ(set.compressedResourceIDs, std::set<std::int16_t> { 1 });
}

TEST(VersionResource, ChoosesIDOneThenTwoThenTheLowest)
{
    const auto texts = [](std::vector<TintraRawResource> versions) { return readVersionResource(versions); };
    EXPECT_EQ(texts({ { 5, {}, versionResource("5", "") }, { 2, {}, versionResource("2", "") }, { 1, {}, versionResource("1", "") } })
                  .version, "1");
    EXPECT_EQ(texts({ { 5, {}, versionResource("5", "") }, { 2, {}, versionResource("2", "") } }).version, "2");
    EXPECT_EQ(texts({ { 7, {}, versionResource("7a", "") }, { -3, {}, versionResource("-3", "") }, { -3, {}, versionResource("b", "") } })
                  .version, "-3");
    EXPECT_EQ(texts({}), TintraVersionTexts {});
}

TEST(VersionResource, CleansLineBreaksAndDropsBlankTexts)
{
    const auto texts = readVersionResource({ { 1, {}, versionResource(" 1.0.1 ", "\xC2\xA9 1997\r\nApple\rComputer \r\n") } });
    EXPECT_EQ(texts.version, "1.0.1");
    EXPECT_EQ(texts.copyright, "\xC2\xA9 1997\nApple\nComputer");
    EXPECT_EQ(readVersionResource({ { 1, {}, versionResource("2.0", "     ") } }).copyright, std::nullopt);
    EXPECT_EQ(readVersionResource({ { 1, {}, Bytes { 1, 0, 0x80, 0, 0, 0 } } }), TintraVersionTexts {});
    EXPECT_EQ(readVersionResource({ { 1, {}, Bytes { 1, 0, 0x80, 0, 0, 0, 0, 3, 'a', 'b' } } }),
              (TintraVersionTexts { std::nullopt, "ab" }));
}

TEST(PascalString, StopsAtTheEndOfTheData)
{
    const Bytes data { 3, 'a', 'b', 'c', 0, 9, 'x', 'y' };
    const auto first = readPascalString(0, data);
    EXPECT_EQ(first.text, "abc");
    EXPECT_EQ(first.nextOffset, 4u);
    const auto empty = readPascalString(4, data);
    EXPECT_EQ(empty.text, std::nullopt);
    EXPECT_EQ(empty.nextOffset, 5u);
    const auto cut = readPascalString(5, data);
    EXPECT_EQ(cut.text, "xy");
    EXPECT_EQ(cut.nextOffset, 15u);
    EXPECT_EQ(readPascalString(8, data).nextOffset, 8u);
    EXPECT_EQ(readPascalString(7, Bytes(8, 5)).nextOffset, 8u);  // a length byte with nothing after it
}

class ClassicSoundSetLoad : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& name, const Bytes& bytes)
    {
        const auto path = folder.path() / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    TemporaryFolder folder;
};

TEST_F(ClassicSoundSetLoad, ReadsAFileAndReportsEachFailure)
{
    using Case = TintraClassicSoundSetError::Case;
    const auto good = write("Platinum Sounds", appleDouble(resourceFork({
        { "snd ", 128, "mnuo", someSound },
        { "vers", 1, std::nullopt, versionResource("1.0", "Apple") },
    })));
    const auto set = loadClassicSoundSet(good);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->name, "Platinum Sounds");
    EXPECT_EQ(set->version, "1.0");
    EXPECT_EQ(set->resourceIDsBySoundID.at("mnuo"), 128);

    const auto plain = loadClassicSoundSet(write("Read Me", Bytes(100, 'a')));
    EXPECT_EQ(plain.error().kind, Case::noResourceFork);
    EXPECT_EQ(plain.error().description(), "Read Me has no resource fork, so it is not a classic sound set");

    const auto noSounds = loadClassicSoundSet(write("Icons.rsrc", resourceFork({ { "ICN#", 128, std::nullopt, { 1 } } })));
    EXPECT_EQ(noSounds.error().description(), "Icons.rsrc has a resource fork but no sounds in it");

    const auto unmapped = loadClassicSoundSet(write("Beeps", resourceFork({ { "snd ", 1, "Sosumi", someSound } })));
    EXPECT_EQ(unmapped.error().description(), "Beeps has sounds but none map to a Tintra event");
}

} // namespace
} // namespace tintra
