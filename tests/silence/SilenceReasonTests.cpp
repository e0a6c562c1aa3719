#include "silence/SilenceReason.h"
#include "silence/WindowDescription.h"

#include <gtest/gtest.h>

#include <set>

namespace tintra {
namespace {

TEST(SilenceReason, RawValuesAreTheCaseNamesAndNothingElseParses)
{
    for (auto reason : allSilenceReasons)
        EXPECT_EQ(silenceReason(rawValue(reason)), reason);
    EXPECT_EQ(rawValue(TintraSilenceReason::fullscreenApplication), "fullscreenApplication");
    EXPECT_EQ(silenceReason("AudioHeldBack"), std::nullopt);
    EXPECT_EQ(silenceReason(""), std::nullopt);
    EXPECT_EQ(silenceReason("battery"), std::nullopt);
}

TEST(SilenceReason, KeysAreDistinctAndOnlyThreeSwitchesStartOff)
{
    std::set<std::string_view> keys;
    std::set<TintraSilenceReason> off;
    for (auto reason : allSilenceReasons) {
        keys.insert(defaultsKey(reason));
        if (!isEnabledByDefault(reason))
            off.insert(reason);
    }
    EXPECT_EQ(keys.size(), allSilenceReasons.size());
    EXPECT_EQ(defaultsKey(TintraSilenceReason::onBattery), "TintraMutesForBatteryPower");
    EXPECT_EQ(off, (std::set { TintraSilenceReason::onBattery, TintraSilenceReason::focus,
                       TintraSilenceReason::fullscreenApplication }));
}

TEST(SilenceReason, TextsNameThisPlatform)
{
    EXPECT_EQ(label(TintraSilenceReason::audioHeldBack), "Audio is muted or ducked");
    EXPECT_EQ(explanation(TintraSilenceReason::gameMode),
        "Linux has started a Game Mode session, or the app in front files itself under Games and has a display to itself.");
    EXPECT_EQ(explanation(TintraSilenceReason::focus),
        "Any Focus, including Do Not Disturb. Needs access to your Focus status, which Linux asks about once.");
    for (auto reason : allSilenceReasons) {
        EXPECT_FALSE(label(reason).empty());
        EXPECT_EQ(explanation(reason).find("macOS"), std::string::npos);
    }
}

PropertyList::Dictionary entry(PropertyList owner, PropertyList layer, PropertyList bounds)
{
    return { { "kCGWindowOwnerPID", std::move(owner) }, { "kCGWindowLayer", std::move(layer) },
        { "kCGWindowBounds", std::move(bounds) } };
}

PropertyList bounds(double x, double y, double width, double height)
{
    return PropertyList::Dictionary { { "X", x }, { "Y", y }, { "Width", width }, { "Height", height } };
}

TEST(WindowDescription, TakesTheRequiredFieldsAndDefaultsAlpha)
{
    auto made = TintraWindowDescription::fromWindowListEntry(entry(512, 0, bounds(0, 25, 800, 600)));
    ASSERT_TRUE(made);
    EXPECT_EQ(*made, (TintraWindowDescription { 512, 0, Rect { 0, 25, 800, 600 }, 1.0 }));

    auto withAlpha = entry(512, 3, PropertyList::Dictionary { { "X", 1 }, { "Y", 2 }, { "Width", 3 }, { "Height", 4 } });
    withAlpha.emplace("kCGWindowAlpha", 0);
    made = TintraWindowDescription::fromWindowListEntry(withAlpha);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->bounds, (Rect { 1, 2, 3, 4 }));
    EXPECT_EQ(made->alpha, 0.0);

    auto textAlpha = entry(512, 0, bounds(0, 0, 1, 1));
    textAlpha.emplace("kCGWindowAlpha", "half");
    EXPECT_EQ(TintraWindowDescription::fromWindowListEntry(textAlpha)->alpha, 1.0);
}

TEST(WindowDescription, RefusesMissingOrMistypedFields)
{
    EXPECT_FALSE(TintraWindowDescription::fromWindowListEntry(entry(512.0, 0, bounds(0, 0, 1, 1))));
    EXPECT_FALSE(TintraWindowDescription::fromWindowListEntry(entry(512, "0", bounds(0, 0, 1, 1))));
    EXPECT_FALSE(TintraWindowDescription::fromWindowListEntry(entry(512, 0, "0 0 1 1")));
    EXPECT_FALSE(TintraWindowDescription::fromWindowListEntry(
        entry(512, 0, PropertyList::Dictionary { { "X", 0 }, { "Y", 0 }, { "Width", 1 } })));
    EXPECT_FALSE(TintraWindowDescription::fromWindowListEntry(entry(std::int64_t { 1 } << 31, 0, bounds(0, 0, 1, 1))));
    EXPECT_TRUE(TintraWindowDescription::fromWindowListEntry(entry(-(std::int64_t { 1 } << 31), 0, bounds(0, 0, 1, 1))));
    auto missing = entry(512, 0, bounds(0, 0, 1, 1));
    missing.erase("kCGWindowLayer");
    EXPECT_FALSE(TintraWindowDescription::fromWindowListEntry(missing));
}

} // namespace
} // namespace tintra
