#include "platform/linux/x11/VirtualKeyCodes.h"
#include "platform/linux/x11/XkbModel.h"

#include "input/KeyboardHardware.h"
#include "input/KeyboardLayout.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

constexpr auto ansi = KeyboardHardware::ansiLayoutType;
constexpr auto iso = KeyboardHardware::isoLayoutType;
constexpr auto jis = KeyboardHardware::jisLayoutType;

// Every key of a full keyboard (evdev's escape to F12, the editing block, the
// keypad, the JIS keys) lands on a code its layout's rows hold, so no key
// of a real keyboard sounds centred by mistake.
TEST(VirtualKeyCodes, EveryKeyOfEachLayoutsKeyboardHasAPlaceInThatLayout)
{
    const std::vector<int> common { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
        24, 25, 26, 27, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 57, 59, 60,
        61, 62, 63, 64, 65, 66, 67, 68, 87, 88, 102, 103, 104, 105, 106, 107, 108, 109, 111, 69, 98, 55, 74, 71, 72,
        73, 78, 75, 76, 77, 79, 80, 81, 96, 82, 83, 99, 70, 119 };
    const auto placed = [](int evdev, std::uint32_t layoutType, TintraKeyboardLayout layout) {
        const auto code = virtualKeyCode(evdev, layoutType);
        return code && keyCentre(*code, layout).has_value();
    };
    for (const int evdev : common) {
        EXPECT_TRUE(placed(evdev, ansi, TintraKeyboardLayout::ansi)) << evdev;
        EXPECT_TRUE(placed(evdev, iso, TintraKeyboardLayout::iso)) << evdev;
    }
    for (const int evdev : { 28, 41, 43 })
        EXPECT_TRUE(placed(evdev, ansi, TintraKeyboardLayout::ansi)) << evdev;
    for (const int evdev : { 28, 41, 43, 86 })
        EXPECT_TRUE(placed(evdev, iso, TintraKeyboardLayout::iso)) << evdev;
    for (const int evdev : { 89, 92, 94, 121, 124, 43, 28 })
        EXPECT_TRUE(placed(evdev, jis, TintraKeyboardLayout::jis)) << evdev;
}

TEST(VirtualKeyCodes, IsoKeyboardsSwapTheKeyLeftOfOneWithTheKeyRightOfTheLeftShift)
{
    EXPECT_EQ(virtualKeyCode(41, ansi), 50);
    EXPECT_EQ(virtualKeyCode(86, ansi), 10);
    EXPECT_EQ(virtualKeyCode(41, iso), 10);
    EXPECT_EQ(virtualKeyCode(86, iso), 50);
    EXPECT_EQ(virtualKeyCode(41, jis), 50);
}

TEST(VirtualKeyCodes, ModifiersAloneMakeNoKeyPressAndUnknownKeysGetACodeNoLayoutHolds)
{
    for (const int modifier : { 29, 42, 54, 56, 58, 97, 100, 125, 126 })
        EXPECT_EQ(virtualKeyCode(modifier, ansi), std::nullopt) << modifier;
    // KEY_PLAYPAUSE.
    const auto media = virtualKeyCode(164, ansi);
    ASSERT_TRUE(media);
    EXPECT_EQ(*media, unmappedKeyCodeBase + 164);
    EXPECT_FALSE(keyCentre(*media, TintraKeyboardLayout::ansi));
}

TEST(XkbModel, ModelsGiveTheirLayoutTypes)
{
    for (const char* model : { "pc101", "pc104", "pc104alt", "macintosh", "", "thinkpad" })
        EXPECT_EQ(layoutTypeOfModel(model), ansi) << model;
    for (const char* model : { "pc102", "pc105", "abnt2" })
        EXPECT_EQ(layoutTypeOfModel(model), iso) << model;
    for (const char* model : { "jp106" })
        EXPECT_EQ(layoutTypeOfModel(model), jis) << model;
}

} // namespace
} // namespace tintra
