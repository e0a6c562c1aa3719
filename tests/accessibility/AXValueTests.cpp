#include "accessibility/AXError.h"
#include "accessibility/AXValue.h"

#include <gtest/gtest.h>

#include <memory>

namespace tintra {
namespace {

TEST(AXErrorName, ShortNamesAndTheNumberForUnknownCodes)
{
    EXPECT_EQ(errorName(AXError::success), "success");
    EXPECT_EQ(errorName(AXError::cannotComplete), "cannotComplete");
    EXPECT_EQ(errorName(AXError::parameterizedAttributeUnsupported), "parameterizedAttributeUnsupported");
    EXPECT_EQ(errorName(static_cast<AXError>(-25215)), "AXError -25215");
    EXPECT_EQ(errorName(static_cast<AXError>(1)), "AXError 1");
}

TEST(AXValue, EachFactoryGivesItsKindAndContents)
{
    const AXElement window(42, "window-1");
    EXPECT_EQ(AXValue().kind(), AXValue::Kind::null);
    EXPECT_EQ(AXValue::null().kind(), AXValue::Kind::null);
    EXPECT_EQ(*AXValue::text("Save").get<std::string>(), "Save");
    EXPECT_EQ(AXValue::attributedText("Bold").get<AXAttributedText>()->string, "Bold");
    EXPECT_EQ(AXValue::url("file:///tmp/").get<AXURL>()->absoluteString, "file:///tmp/");
    EXPECT_EQ(*AXValue::element(window).get<AXElement>(), window);
    EXPECT_EQ(AXValue::list({ AXValue::boolean(true) }).get<AXValue::List>()->size(), 1u);
    EXPECT_EQ(AXValue::dictionary({ { "a", AXValue::integer(1) } }).kind(), AXValue::Kind::dictionary);
    EXPECT_EQ(*AXValue::boolean(false).get<bool>(), false);
    EXPECT_EQ(*AXValue::integer(-7).get<std::int64_t>(), -7);
    EXPECT_EQ(*AXValue::real(0.5).get<double>(), 0.5);
    EXPECT_EQ(*AXValue::point({ 1, 2 }).get<AXPoint>(), (AXPoint { 1, 2 }));
    EXPECT_EQ(*AXValue::size({ 3, 4 }).get<AXSize>(), (AXSize { 3, 4 }));
    EXPECT_EQ(*AXValue::rect({ { 1, 2 }, { 3, 4 } }).get<AXRect>(), (AXRect { { 1, 2 }, { 3, 4 } }));
    EXPECT_EQ(*AXValue::range({ 5, 6 }).get<AXRange>(), (AXRange { 5, 6 }));
    EXPECT_EQ(*AXValue::error(AXError::noValue).get<AXError>(), AXError::noValue);
    EXPECT_EQ(AXValue::other("<CGColor 0x1>", "CGColor").get<AXOtherValue>()->typeName, "CGColor");

    EXPECT_EQ(AXValue::attributedText("x").kind(), AXValue::Kind::attributedText);
    EXPECT_EQ(AXValue::url("x").kind(), AXValue::Kind::url);
    EXPECT_EQ(AXValue::element(window).kind(), AXValue::Kind::element);
    EXPECT_EQ(AXValue::list({}).kind(), AXValue::Kind::list);
    EXPECT_EQ(AXValue::boolean(true).kind(), AXValue::Kind::boolean);
    EXPECT_EQ(AXValue::integer(1).kind(), AXValue::Kind::integer);
    EXPECT_EQ(AXValue::real(1).kind(), AXValue::Kind::real);
    EXPECT_EQ(AXValue::point({}).kind(), AXValue::Kind::point);
    EXPECT_EQ(AXValue::size({}).kind(), AXValue::Kind::size);
    EXPECT_EQ(AXValue::rect({}).kind(), AXValue::Kind::rect);
    EXPECT_EQ(AXValue::range({}).kind(), AXValue::Kind::range);
    EXPECT_EQ(AXValue::error(AXError::failure).kind(), AXValue::Kind::error);
    EXPECT_EQ(AXValue::other("", "").kind(), AXValue::Kind::other);
    EXPECT_EQ(AXValue::text("x").kind(), AXValue::Kind::text);
}

TEST(AXValue, AsksForTheWrongKindGiveNothing)
{
    const auto url = AXValue::url("https://example.org/");
    EXPECT_EQ(url.get<std::string>(), nullptr);
    EXPECT_EQ(AXValue::integer(1).get<double>(), nullptr);
    EXPECT_EQ(AXValue::integer(1).get<bool>(), nullptr);
    EXPECT_EQ(AXValue::point({}).get<AXSize>(), nullptr);
}

TEST(AXValue, EqualityKeepsKindsApart)
{
    EXPECT_NE(AXValue::text("a"), AXValue::url("a"));
    EXPECT_NE(AXValue::text("a"), AXValue::attributedText("a"));
    EXPECT_NE(AXValue::integer(1), AXValue::real(1.0));
    EXPECT_NE(AXValue::integer(1), AXValue::boolean(true));
    EXPECT_NE(AXValue::point({ 1, 2 }), AXValue::size({ 1, 2 }));
    EXPECT_NE(AXValue::null(), AXValue::list({}));
    EXPECT_EQ(AXValue::real(0.5), AXValue::real(0.5));
}

TEST(AXValue, EqualityLooksInsideListsAndDictionaries)
{
    const auto nested = [](std::int64_t last) {
        return AXValue::dictionary({ { "rows", AXValue::list({ AXValue::text("a"), AXValue::integer(last) }) } });
    };
    EXPECT_EQ(nested(2), nested(2));
    EXPECT_NE(nested(2), nested(3));
    EXPECT_NE(AXValue::list({ AXValue::integer(1), AXValue::integer(2) }),
        AXValue::list({ AXValue::integer(2), AXValue::integer(1) }));
}

TEST(AXValue, ElementsCompareByTheElementNotTheReference)
{
    const AXElement a(42, "button", std::make_shared<int>(1));
    const AXElement b(42, "button", std::make_shared<int>(2));
    EXPECT_EQ(AXValue::element(a), AXValue::element(b));
    EXPECT_NE(AXValue::element(a), AXValue::element(AXElement(43, "button")));
}

TEST(AXRect, ContainsItsNearEdgesButNotItsFarEdges)
{
    const AXRect frame { { 10, 20 }, { 100, 50 } };
    EXPECT_TRUE(frame.contains({ 10, 20 }));
    EXPECT_TRUE(frame.contains({ 109.9, 69.9 }));
    EXPECT_FALSE(frame.contains({ 110, 30 }));
    EXPECT_FALSE(frame.contains({ 50, 70 }));
    EXPECT_FALSE(frame.contains({ 9.9, 30 }));
    EXPECT_FALSE(AXRect({ { 0, 0 }, { 0, 0 } }).contains({ 0, 0 }));
}

} // namespace
} // namespace tintra
