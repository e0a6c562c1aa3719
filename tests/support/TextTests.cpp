#include "support/MacRoman.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

namespace tintra {
namespace {

TEST(MacRoman, EveryByteRoundTripsThroughUTF8)
{
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = std::uint8_t(i);
    const auto text = decodeMacRoman(all);
    ASSERT_TRUE(decodeUTF8(text));
    EXPECT_EQ(decodeUTF8(text)->size(), 256u);
    EXPECT_EQ(encodeMacRoman(text), all);
}

TEST(MacRoman, DecodesTheClassicCharacters)
{
    const Bytes classic { 0x8A, 0xA5, 0xA9, 0xC9, 0xD2, 0xD3, 0xDB, 0xF0 };
    EXPECT_EQ(decodeMacRoman(classic), "ä•©…“”€\xEF\xA3\xBF");
    EXPECT_EQ(decodeMacRoman(Bytes { 'S', 'o', 'u', 'n', 'd' }), "Sound");
}

TEST(MacRoman, EncodingFailsForMissingCharactersAndBadUTF8)
{
    EXPECT_EQ(encodeMacRoman("Caf\xC3\xA9"), (Bytes { 'C', 'a', 'f', 0x8E }));
    EXPECT_EQ(encodeMacRoman("\xE2\x82\xBD"), std::nullopt); // rouble sign
    EXPECT_EQ(encodeMacRoman("\xC3"), std::nullopt);
}

TEST(Text, LeadingCharactersNeverCutACharacter)
{
    const std::string text = "añ😀b";
    EXPECT_EQ(characterCount(text), 4u);
    EXPECT_EQ(leadingCharacters(text, 3), "añ😀");
    EXPECT_EQ(leadingCharacters(text, 2), "añ");
    EXPECT_EQ(leadingCharacters(text, 9), text);
    EXPECT_EQ(leadingCharacters(text, 0), "");
}

TEST(Text, LowercasesAnyScript)
{
    EXPECT_EQ(lowercased("MenuOpen"), "menuopen");
    EXPECT_EQ(lowercased("ÄRGER Σ"), "ärger σ");
    EXPECT_EQ(lowercased("ΟΔΥΣΣΕΥΣ"), "οδυσσευς");
}

TEST(Text, TrimsWhitespaceOfAnyScriptAtBothEnds)
{
    EXPECT_EQ(trimmingWhitespace(" \t\nUntitled Disk\r\n"), "Untitled Disk");
    EXPECT_EQ(trimmingWhitespace("\u00A0\u3000Data\u2028"), "Data"); // no-break, ideographic, line separator
    EXPECT_EQ(trimmingWhitespace("  \n "), "");
    EXPECT_EQ(trimmingWhitespace("a  b"), "a  b");
    EXPECT_EQ(trimmingWhitespace(" \xC3 "), "\xC3"); // a broken byte is kept, not read past
}

TEST(Text, AlphanumericInAnyScript)
{
    EXPECT_TRUE(isAlphanumeric(U'a'));
    EXPECT_TRUE(isAlphanumeric(U'7'));
    EXPECT_TRUE(isAlphanumeric(U'ж'));
    EXPECT_TRUE(isAlphanumeric(U'音'));
    EXPECT_TRUE(isAlphanumeric(U'٣')); // Arabic-Indic three
    EXPECT_FALSE(isAlphanumeric(U' '));
    EXPECT_FALSE(isAlphanumeric(U'-'));
    EXPECT_FALSE(isAlphanumeric(U'☃'));
}

TEST(Text, StandardComparisonOrdersLikeAFileBrowser)
{
    std::vector<std::string> names { "set 10", "Set 2", "Ångström", "alpha", "Set 1", "beta", "SET 2" };
    std::sort(names.begin(), names.end(), localizedStandardLess);
    EXPECT_EQ(names, (std::vector<std::string> { "alpha", "Ångström", "beta", "Set 1", "Set 2", "SET 2", "set 10" }));
    EXPECT_LT(localizedStandardCompare("Set 2", "set 10"), 0);
    EXPECT_LT(localizedStandardCompare("alpha", "Beta"), 0);
    EXPECT_NE(localizedStandardCompare("Set 2", "SET 2"), 0); // distinct names never tie
    EXPECT_EQ(localizedStandardCompare("Set 2", "Set 2"), 0);
}

} // namespace
} // namespace tintra
