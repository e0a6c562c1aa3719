#include "catalogue/ElementSnapshot.h"

#include "fakes/AccessibilityFake.h"
#include "fakes/ManualExecutor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tintra {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

constexpr std::int32_t mail = 42;

AccessibilityFake::Attributes role(const std::string& name)
{
    return { { "AXRole", AXValue::text(name) } };
}

class ElementSnapshotTest : public ::testing::Test {
protected:
    ElementSnapshotTest()
    {
        app = ax.addApplication(mail, { { "AXRole", AXValue::text("AXApplication") }, { "AXTitle", AXValue::text("Mail") } });
        window = ax.addElement(app, { { "AXRole", AXValue::text("AXWindow") }, { "AXTitle", AXValue::text("Inbox") } });
    }

    // The text of one attribute as the snapshot's attribute lines give it.
    std::string attributeLine(const AXElement& element, const std::string& attribute)
    {
        const auto snapshot = makeSnapshot(ax, clock, element, seconds(10));
        EXPECT_TRUE(snapshot.has_value());
        const auto prefix = "    " + attribute + " = ";
        for (const auto& line : snapshot->details) {
            if (line.starts_with(prefix))
                return line.substr(prefix.size());
        }
        ADD_FAILURE() << "no line for " << attribute;
        return {};
    }

    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake ax { clock, executor };
    AXElement app;
    AXElement window;
};

// --- Names

using ElementNames = ElementSnapshotTest;

TEST_F(ElementNames, PartsComeInTheirOrder)
{
    const auto button = ax.addElement(window, {
        { "AXRole", AXValue::text("AXButton") },
        { "AXSubrole", AXValue::text("AXCloseButton") },
        { "AXRoleDescription", AXValue::text("close button") },
        { "AXIdentifier", AXValue::text("_XCUI:CloseWindow") },
        { "AXTitle", AXValue::text("Close") },
        { "AXDescription", AXValue::text("closes the window") },
        { "AXFilename", AXValue::text("Inbox.mbox") },
        { "AXURL", AXValue::url("file:///tmp/Inbox.mbox") },
        { "AXDocument", AXValue::text("file:///tmp/Inbox.mbox") },
    });

    EXPECT_EQ(elementName(ax, button),
        "AXButton[AXCloseButton] #_XCUI:CloseWindow \"Close\" (closes the window) a close button filename Inbox.mbox "
        "url file:///tmp/Inbox.mbox document file:///tmp/Inbox.mbox");
}

TEST_F(ElementNames, ARoleDescriptionThatOnlyRepeatsTheRoleIsLeftOut)
{
    const auto group = ax.addElement(window, { { "AXRole", AXValue::text("AXGroup") }, { "AXRoleDescription", AXValue::text("axgroup") } });
    EXPECT_EQ(elementName(ax, group), "AXGroup");
}

TEST_F(ElementNames, EmptyTextsAndValuesOfOtherKindsAreNotNames)
{
    const auto field = ax.addElement(window, {
        { "AXRole", AXValue::text("AXTextField") },
        { "AXTitle", AXValue::text("") },
        { "AXDescription", AXValue::integer(7) },
    });
    ax.setAttributeError(field, "AXIdentifier", AXError::noValue);
    EXPECT_EQ(elementName(ax, field), "AXTextField");
}

TEST_F(ElementNames, WithoutARoleThereIsNoNameButABriefDescription)
{
    const auto thing = ax.addElement(window, { { "AXTitle", AXValue::text("Thing") } });
    EXPECT_EQ(elementName(ax, thing), std::nullopt);
    EXPECT_EQ(briefDescription(ax, thing), "<no role> \"Thing\"");
    EXPECT_EQ(makeSnapshot(ax, clock, thing), std::nullopt);
}

TEST_F(ElementNames, AFailedNamingRequestMeansNoRole)
{
    ax.setCallError(window, AccessibilityFake::Call::multipleAttributeValues, AXError::failure);
    EXPECT_EQ(elementName(ax, window), std::nullopt);
}

TEST_F(ElementNames, NamingAsksWithAShortTimeout)
{
    elementName(ax, window);
    EXPECT_EQ(ax.effectiveMessagingTimeout(window), seconds(0.1));
}

TEST_F(ElementNames, ATitleWithALineBreakIsEscapedInsideQuotes)
{
    ax.setAttribute(window, "AXTitle", AXValue::text("Re: lunch\n\tat noon"));
    EXPECT_EQ(elementName(ax, window), "AXWindow \"Re: lunch\\n\\tat noon\"");
}

// --- Clipping

TEST(ElementSnapshotClipping, LongTextsKeep240CharactersAndTellTheFullCount)
{
    const std::string description(500, 'd');
    EXPECT_EQ(clippedForDisplay(description), std::string(240, 'd') + "… (500 characters)");
    EXPECT_EQ(clippedForDisplay(std::string(240, 'd')), std::string(240, 'd'));
}

TEST(ElementSnapshotClipping, CharactersAreCountedNotBytes)
{
    std::string accented;
    for (int i = 0; i < 241; ++i)
        accented += "é";
    std::string kept;
    for (int i = 0; i < 240; ++i)
        kept += "é";
    EXPECT_EQ(clippedForDisplay(kept), kept);
    EXPECT_EQ(clippedForDisplay(accented), kept + "… (241 characters)");
}

TEST(ElementSnapshotClipping, EscapesCountTowardsTheLimit)
{
    const auto text = std::string(239, 'a') + "\n";
    EXPECT_EQ(clippedForDisplay(text), std::string(239, 'a') + "\\… (241 characters)");
}

// --- Value texts

using ElementValueTexts = ElementSnapshotTest;

TEST_F(ElementValueTexts, PackedValuesHaveOneDecimal)
{
    ax.setAttribute(window, "AXFrame", AXValue::rect({ { 10, 20 }, { 300.5, 40 } }));
    ax.setAttribute(window, "AXPosition", AXValue::point({ -3.5, 7 }));
    ax.setAttribute(window, "AXSize", AXValue::size({ 1024, 768.04 }));
    ax.setAttribute(window, "AXVisibleCharacterRange", AXValue::range({ 5, 12 }));

    EXPECT_EQ(attributeLine(window, "AXFrame"), "(10.0, 20.0) 300.5 × 40.0");
    EXPECT_EQ(attributeLine(window, "AXPosition"), "(-3.5, 7.0)");
    EXPECT_EQ(attributeLine(window, "AXSize"), "1024.0 × 768.0");
    EXPECT_EQ(attributeLine(window, "AXVisibleCharacterRange"), "location 5, length 12");
}

TEST_F(ElementValueTexts, PlainValues)
{
    ax.setAttribute(window, "AXMain", AXValue::boolean(true));
    ax.setAttribute(window, "AXMinimized", AXValue::boolean(false));
    ax.setAttribute(window, "AXInsertionPointLineNumber", AXValue::integer(-4));
    ax.setAttribute(window, "AXValue", AXValue::real(0.75));
    ax.setAttribute(window, "AXMaxValue", AXValue::real(100));
    ax.setAttribute(window, "AXURL", AXValue::url("https://example.org/a b"));
    ax.setAttribute(window, "AXAttributedValue", AXValue::attributedText("bold\nword"));
    ax.setAttribute(window, "AXPlaceholderValue", AXValue::null());
    ax.setAttribute(window, "AXHelp", AXValue::error(AXError::noValue));
    ax.setAttribute(window, "AXOdd", AXValue::other("<CGColor 0x1>", "CGColor"));
    ax.setAttribute(window, "AXStrange", AXValue::error(AXError(-1)));

    EXPECT_EQ(attributeLine(window, "AXMain"), "true");
    EXPECT_EQ(attributeLine(window, "AXMinimized"), "false");
    EXPECT_EQ(attributeLine(window, "AXInsertionPointLineNumber"), "-4");
    EXPECT_EQ(attributeLine(window, "AXValue"), "0.75");
    EXPECT_EQ(attributeLine(window, "AXMaxValue"), "100");
    EXPECT_EQ(attributeLine(window, "AXURL"), "https://example.org/a b");
    EXPECT_EQ(attributeLine(window, "AXAttributedValue"), "\"bold\\nword\" (attributed)");
    EXPECT_EQ(attributeLine(window, "AXPlaceholderValue"), "<null>");
    EXPECT_EQ(attributeLine(window, "AXHelp"), "<noValue>");
    EXPECT_EQ(attributeLine(window, "AXOdd"), "<CGColor 0x1> (CGColor)");
    EXPECT_EQ(attributeLine(window, "AXStrange"), "<AXError -1>");
}

TEST_F(ElementValueTexts, ElementListsAreCountedUnlessTheyAreSelections)
{
    const auto list = ax.addElement(window, role("AXList"));
    for (int i = 0; i < 30; ++i)
        ax.addElement(list, { { "AXRole", AXValue::text("AXRow") }, { "AXTitle", AXValue::text("row " + std::to_string(i + 1)) } });
    const auto children = ax.copyAttributeValue(list, "AXChildren");
    ASSERT_TRUE(children.has_value());
    const auto* rows = children->get<AXValue::List>();
    ASSERT_EQ(rows->size(), 30u);

    ax.setAttribute(list, "AXSelectedChildren", AXValue::list({ (*rows)[0], (*rows)[1], (*rows)[2] }));
    ax.setAttribute(list, "AXVisibleChildren", AXValue::list(AXValue::List(rows->begin(), rows->begin() + 12)));
    ax.setAttribute(list, "AXLinkedUIElements", AXValue::list({ (*rows)[0] }));

    EXPECT_EQ(attributeLine(list, "AXChildren"), "[30 elements]");
    EXPECT_EQ(attributeLine(list, "AXLinkedUIElements"), "[1 element]");
    EXPECT_EQ(attributeLine(list, "AXSelectedChildren"), "[<AXRow \"row 1\">, <AXRow \"row 2\">, <AXRow \"row 3\">]");
    EXPECT_EQ(attributeLine(list, "AXVisibleChildren"),
        "[<AXRow \"row 1\">, <AXRow \"row 2\">, <AXRow \"row 3\">, <AXRow \"row 4\">, <AXRow \"row 5\">, "
        "<AXRow \"row 6\">, <AXRow \"row 7\">, <AXRow \"row 8\">, … 4 more]");
}

TEST_F(ElementValueTexts, NestedValuesStopNamingElementsBelowTheLimit)
{
    ax.setAttribute(window, "AXSelectedChildren", AXValue::list({ AXValue::list({ AXValue::element(app) }) }));
    ax.setAttribute(window, "AXEmpty", AXValue::list({}));
    ax.setAttribute(window, "AXNumbers", AXValue::list({ AXValue::integer(1), AXValue::text("two") }));
    ax.setAttribute(window, "AXMixed", AXValue::list({ AXValue::integer(1), AXValue::element(app) }));

    EXPECT_EQ(attributeLine(window, "AXSelectedChildren"), "[[1 element]]");
    EXPECT_EQ(attributeLine(window, "AXEmpty"), "[]");
    EXPECT_EQ(attributeLine(window, "AXNumbers"), "[1, \"two\"]");
    EXPECT_EQ(attributeLine(window, "AXMixed"), "[1, <AXUIElement>]");
}

TEST_F(ElementValueTexts, DictionariesShowTheirFirstEightKeysInOrder)
{
    AXValue::Dictionary entries;
    for (char key = 'j'; key >= 'a'; --key)
        entries.emplace(std::string(1, key), AXValue::integer(key - 'a'));
    entries.emplace("element", AXValue::element(app));
    ax.setAttribute(window, "AXInfo", AXValue::dictionary(entries));

    EXPECT_EQ(attributeLine(window, "AXInfo"), "{a: 0, b: 1, c: 2, d: 3, e: 4, element: <AXUIElement>, f: 5, g: 6}");
}

// --- Snapshots

using ElementSnapshots = ElementSnapshotTest;

TEST_F(ElementSnapshots, AQuickApplicationIsDescribedInFull)
{
    ax.addElement(window, role("AXGroup"));
    const auto button = ax.addElement(window, { { "AXRole", AXValue::text("AXButton") }, { "AXTitle", AXValue::text("Send") } });
    ax.setActionNames(button, { "AXPress", "AXShowMenu" });
    ax.setParameterizedAttributeNames(button, { "AXBoundsForRange" });
    ax.setFrame(button, { { 10, 20 }, { 80, 24 } });

    const auto snapshot = makeSnapshot(ax, clock, button);

    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->name, "AXButton \"Send\"");
    EXPECT_THAT(snapshot->details,
        ElementsAre("   ↑ AXWindow \"Inbox\" (child 2 of 2)",
            "    ↑ AXApplication \"Mail\"",
            "  attributes (6):",
            "    AXChildren = []",
            "    AXParent = <AXWindow \"Inbox\">",
            "    AXPosition = (10.0, 20.0)",
            "    AXRole = \"AXButton\"",
            "    AXSize = 80.0 × 24.0",
            "    AXTitle = \"Send\"",
            "  actions: AXPress, AXShowMenu",
            "  parameterized attributes: AXBoundsForRange"));
}

TEST_F(ElementSnapshots, AParentThatDoesNotListItsChildSaysHowManyItClaims)
{
    const auto group = ax.addElement(window, role("AXGroup"));
    for (int i = 0; i < 5; ++i)
        ax.addElement(group, role("AXStaticText"));
    const auto stray = ax.addElement(window, role("AXButton"));
    ax.setAttribute(stray, "AXParent", AXValue::element(group));

    const auto snapshot = makeSnapshot(ax, clock, stray);

    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->details.front(), "   ↑ AXGroup (not among the 5 children it claims)");
}

TEST_F(ElementSnapshots, AParentWithoutAChildrenListGivesNoPosition)
{
    ax.setAttributeError(window, "AXChildren", AXError::cannotComplete);
    const auto button = ax.addElement(window, role("AXButton"));

    const auto snapshot = makeSnapshot(ax, clock, button, seconds(10));

    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->details.front(), "   ↑ AXWindow \"Inbox\"");
}

TEST_F(ElementSnapshots, AncestryStopsAfterTwelveLevels)
{
    auto element = window;
    for (int level = 0; level < 15; ++level)
        element = ax.addElement(element, { { "AXRole", AXValue::text("AXGroup") }, { "AXTitle", AXValue::text(std::to_string(level)) } });

    const auto snapshot = makeSnapshot(ax, clock, element, seconds(10));

    ASSERT_TRUE(snapshot.has_value());
    std::vector<std::string> ancestors;
    for (const auto& line : snapshot->details) {
        if (line.find("↑") != std::string::npos)
            ancestors.push_back(line);
    }
    ASSERT_EQ(ancestors.size(), 12u);
    EXPECT_EQ(ancestors.front(), "   ↑ AXGroup \"13\" (child 1 of 1)");
    EXPECT_EQ(ancestors.back(), std::string(14, ' ') + "↑ AXGroup \"2\"");
}

TEST_F(ElementSnapshots, AnElementWithoutAttributeNamesSaysSo)
{
    ax.setCallError(window, AccessibilityFake::Call::attributeNames, AXError::attributeUnsupported);

    const auto snapshot = makeSnapshot(ax, clock, window);

    ASSERT_TRUE(snapshot.has_value());
    EXPECT_THAT(snapshot->details, ElementsAre("   ↑ AXApplication \"Mail\" (child 1 of 1)", "  attributes: none reported"));
}

TEST_F(ElementSnapshots, AnAttributeThatFailsInTheBatchShowsItsError)
{
    const auto button = ax.addElement(window, role("AXButton"));
    ax.setAttributeError(button, "AXChildren", AXError::cannotComplete);

    EXPECT_EQ(attributeLine(button, "AXChildren"), "<cannotComplete>");
}

// Passes everything to the fake but refuses every batch other than the naming request.
class NamingOnlyBatches final : public Accessibility {
public:
    explicit NamingOnlyBatches(AccessibilityFake& fake) : fake_(fake) {}

    bool isProcessTrusted() override { return fake_.isProcessTrusted(); }
    bool requestTrust() override { return fake_.requestTrust(); }
    AXElement applicationElement(std::int32_t pid) override { return fake_.applicationElement(pid); }
    AXElement systemWideElement() override { return fake_.systemWideElement(); }
    AXError setMessagingTimeout(const AXElement& e, Duration t) override { return fake_.setMessagingTimeout(e, t); }
    AXAttributeResult copyAttributeValue(const AXElement& e, const std::string& a) override { return fake_.copyAttributeValue(e, a); }
    tl::expected<std::vector<AXAttributeResult>, AXError> copyMultipleAttributeValues(
        const AXElement& e, const std::vector<std::string>& attributes) override
    {
        if (attributes.front() != "AXRole")
            return tl::unexpected(AXError::cannotComplete);
        return fake_.copyMultipleAttributeValues(e, attributes);
    }
    tl::expected<std::vector<std::string>, AXError> copyAttributeNames(const AXElement& e) override { return fake_.copyAttributeNames(e); }
    tl::expected<std::vector<std::string>, AXError> copyActionNames(const AXElement& e) override { return fake_.copyActionNames(e); }
    tl::expected<std::vector<std::string>, AXError> copyParameterizedAttributeNames(const AXElement& e) override
    {
        return fake_.copyParameterizedAttributeNames(e);
    }
    tl::expected<AXElement, AXError> elementAtPosition(const AXElement& e, AXPoint p) override { return fake_.elementAtPosition(e, p); }
    tl::expected<std::int32_t, AXError> processIdentifier(const AXElement& e) override { return fake_.processIdentifier(e); }
    tl::expected<std::unique_ptr<AXObserver>, AXError> createObserver(std::int32_t pid, AXObserverCallback c) override
    {
        return fake_.createObserver(pid, std::move(c));
    }

private:
    AccessibilityFake& fake_;
};

TEST_F(ElementSnapshots, AFailedBatchFallsBackToSingleReads)
{
    const auto list = ax.addElement(window, { { "AXRole", AXValue::text("AXList") }, { "AXTitle", AXValue::text("Mailboxes") } });
    const auto row = ax.addElement(list, role("AXRow"));
    ax.setAttribute(list, "AXSelectedRows", AXValue::list({ AXValue::element(row) }));
    ax.setAttributeError(list, "AXTitle", AXError::attributeUnsupported);
    NamingOnlyBatches accessibility(ax);

    const auto snapshot = makeSnapshot(accessibility, clock, list, seconds(10));

    ASSERT_TRUE(snapshot.has_value());
    EXPECT_THAT(snapshot->details,
        ElementsAre("   ↑ AXWindow \"Inbox\" (child 1 of 1)", "    ↑ AXApplication \"Mail\"", "  attributes (5):",
            "    AXChildren = [1 element]", "    AXParent = <AXWindow \"Inbox\">", "    AXRole = \"AXList\"",
            "    AXSelectedRows = [<AXRow>]", "    AXTitle = <attributeUnsupported>"));
}

TEST_F(ElementSnapshots, AnApplicationAtTheNamingTimeoutGetsAShortSnapshot)
{
    const auto button = ax.addElement(window, role("AXButton"));
    ax.setActionNames(button, { "AXPress" });
    ax.setAnswerDelay(mail, seconds(0.1));

    const auto snapshot = makeSnapshot(ax, clock, button);

    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->name, "AXButton");
    EXPECT_THAT(snapshot->details,
        ElementsAre("   ↑ AXWindow \"Inbox\" (child 1 of 1)", "  … the app stopped answering, so this is as far as it got"));
}

TEST_F(ElementSnapshots, AnApplicationSlowerThanTheNamingTimeoutIsNotDescribed)
{
    const auto button = ax.addElement(window, role("AXButton"));
    ax.setAnswerDelay(mail, seconds(0.2));
    const auto before = clock.monotonicNow();

    EXPECT_EQ(makeSnapshot(ax, clock, button), std::nullopt);
    EXPECT_EQ(clock.monotonicNow() - before, seconds(0.1));
}

TEST_F(ElementSnapshots, TheBudgetIsCheckedBeforeEachStep)
{
    const auto button = ax.addElement(window, role("AXButton"));
    ax.setActionNames(button, { "AXPress" });
    ax.setAnswerDelay(mail, seconds(0.01));

    // After naming: the window costs three questions (parent, name,
    // children), the application two, and learning that it has no parent one
    // more: 0.06 s, past a 0.05 s budget.
    const auto snapshot = makeSnapshot(ax, clock, button);

    ASSERT_TRUE(snapshot.has_value());
    EXPECT_THAT(snapshot->details,
        ElementsAre("   ↑ AXWindow \"Inbox\" (child 1 of 1)", "    ↑ AXApplication \"Mail\"",
            "  … the app stopped answering, so this is as far as it got"));
}

} // namespace
} // namespace tintra
