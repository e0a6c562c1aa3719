#include "input/KeyboardLayout.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

namespace tintra {
namespace {

using Layout = TintraKeyboardLayout;

constexpr int kA = 0, kReturn = 36, kSpace = 49, kGrave = 50, kSection = 10, kEscape = 53, kUpArrow = 126;

TEST(KeyboardLayoutTest, TheKeyLeftOfOneMovesBetweenAnsiAndIso)
{
    EXPECT_EQ(keyCentre(kGrave, Layout::ansi), 0.5);
    EXPECT_NEAR(keyPan(kGrave, Layout::ansi), -0.9333, 1e-4);
    EXPECT_EQ(keyCentre(kGrave, Layout::iso), 1.75);
    EXPECT_NEAR(keyPan(kGrave, Layout::iso), -0.7667, 1e-4);
    EXPECT_EQ(keyCentre(kSection, Layout::iso), 0.5);
}

TEST(KeyboardLayoutTest, TheIsoReturnKeySitsFurtherRight)
{
    EXPECT_EQ(keyCentre(kReturn, Layout::iso), 14.375);
    EXPECT_NEAR(keyPan(kReturn, Layout::iso), 0.9167, 1e-4);
    EXPECT_EQ(keyCentre(kReturn, Layout::ansi), 13.875);
    EXPECT_NEAR(keyPan(kReturn, Layout::ansi), 0.85, 1e-6);
    EXPECT_EQ(keyCentre(42, Layout::iso), 13.25); // moved to the home row
}

TEST(KeyboardLayoutTest, JisFlanksAShortSpaceBarAndPlacesItsKeypadComma)
{
    EXPECT_EQ(keyCentre(102, Layout::jis), 4.75);
    EXPECT_EQ(keyCentre(kSpace, Layout::jis), 7.0);
    EXPECT_EQ(keyCentre(104, Layout::jis), 9.25);
    EXPECT_EQ(keyCentre(95, Layout::jis), 20.0);
    EXPECT_EQ(keyPan(95, Layout::jis), 1.0f);
    EXPECT_EQ(keyCentre(95, Layout::ansi), std::nullopt);
}

TEST(KeyboardLayoutTest, AnsiPansFromLeftToRight)
{
    EXPECT_NEAR(keyPan(kA, Layout::ansi), -0.7, 1e-6);
    EXPECT_NEAR(keyPan(kSpace, Layout::ansi), -0.0667, 1e-4);
    EXPECT_NEAR(keyPan(kUpArrow, Layout::ansi), 0.8, 1e-6);
    EXPECT_NEAR(keyPan(kEscape, Layout::ansi), -0.9, 1e-6);
    // The editing block, F13 to F19 and the keypad lie right of the main block.
    for (int code : { 114, 115, 116, 117, 119, 121, 105, 107, 113, 106, 64, 79, 80, 71, 81, 75, 67, 89, 91, 92, 78,
             86, 87, 88, 69, 83, 84, 85, 76, 82, 65 })
        EXPECT_EQ(keyPan(code, Layout::ansi), 1.0f) << code;
}

TEST(KeyboardLayoutTest, AKeyTheLayoutLacksSoundsCentred)
{
    EXPECT_EQ(keyCentre(kSection, Layout::ansi), std::nullopt);
    EXPECT_EQ(keyPan(kSection, Layout::ansi), 0.0f);
    EXPECT_EQ(keyPan(-1, Layout::ansi), 0.0f);
    EXPECT_EQ(keyPan(4000, Layout::iso), 0.0f);
}

TEST(KeyboardLayoutTest, PansClampToTheFullRange)
{
    for (auto layout : allKeyboardLayouts) {
        for (int code = 0; code < 128; ++code) {
            const float pan = keyPan(code, layout);
            EXPECT_GE(pan, -1.0f);
            EXPECT_LE(pan, 1.0f);
        }
    }
}

TEST(KeyboardLayoutTest, EveryMainBlockRowIsFifteenUnitsAndNoCodeRepeats)
{
    const auto rowWidth = [](const KeyboardRow& row) {
        return std::accumulate(row.caps.begin(), row.caps.end(), 0.0, [](double sum, const KeyCap& cap) { return sum + cap.width(); });
    };
    for (auto layout : allKeyboardLayouts) {
        std::multiset<int> codes;
        for (auto rows : { keyboardRows(layout), commonKeyboardRows() }) {
            for (const auto& row : rows) {
                if (row.start == 0) {
                    EXPECT_EQ(rowWidth(row), 15.0) << static_cast<int>(layout);
                }
                for (const auto& cap : row.caps) {
                    if (const auto* key = std::get_if<KeyCap::Key>(&cap.cap))
                        codes.insert(key->code);
                }
            }
        }
        for (int code : codes)
            EXPECT_EQ(codes.count(code), 1u) << "code " << code << " in layout " << static_cast<int>(layout);
    }
}

} // namespace
} // namespace tintra
