#include "ClickScene.h"
#include "catalogue/Catalogue.h"
#include "input/ClickResolver.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

using Kind = TintraControlKind;

class ClickResolverTest : public ::testing::Test, protected ClickScene {
protected:
    std::optional<TintraClickTarget> at(double x, double y) { return resolver.resolve({ x, y }); }
    std::optional<Kind> kindAt(double x, double y)
    {
        auto target = at(x, y);
        return target ? std::optional(target->kind) : std::nullopt;
    }

    TintraClickResolver resolver { ax, workspace, exclusions.exclusionTest() };
};

TEST_F(ClickResolverTest, ATargetCarriesKindFrameProcessAndApplicationName)
{
    add("AXButton", std::nullopt, { { 10, 20 }, { 80, 30 } });

    EXPECT_EQ(at(15, 25), (TintraClickTarget { Kind::button, Rect { 10, 20, 80, 30 }, mail, "Mail" }));
}

TEST_F(ClickResolverTest, WindowButtonsFollowTheirWindowsSubrole)
{
    add("AXButton", "AXCloseButton", { { 0, 0 }, { 10, 10 } });
    add("AXButton", "AXMinimizeButton", { { 10, 0 }, { 10, 10 } });
    add("AXButton", "AXFullScreenButton", { { 20, 0 }, { 10, 10 } });
    const auto panel = ax.addElement(app, { { "AXRole", AXValue::text("AXWindow") }, { "AXSubrole", AXValue::text("AXFloatingWindow") } });
    ax.setFrame(panel, { { 500, 0 }, { 100, 100 } });
    add(panel, "AXButton", "AXCloseButton", { { 500, 0 }, { 10, 10 } }, panel);
    add(panel, "AXButton", "AXZoomButton", { { 510, 0 }, { 10, 10 } }, panel);
    add(panel, "AXButton", "AXMinimizeButton", { { 520, 0 }, { 10, 10 } }, panel);

    EXPECT_EQ(kindAt(5, 5), Kind::windowClose);
    EXPECT_EQ(kindAt(15, 5), Kind::windowCollapse);
    EXPECT_EQ(kindAt(25, 5), Kind::windowZoom);
    EXPECT_EQ(kindAt(505, 5), Kind::utilityWindowClose);
    EXPECT_EQ(kindAt(515, 5), Kind::utilityWindowZoom);
    EXPECT_EQ(kindAt(525, 5), Kind::utilityWindowCollapse);

    ax.setAttribute(panel, "AXSubrole", AXValue::text("AXSystemFloatingWindow"));
    EXPECT_EQ(kindAt(505, 5), Kind::utilityWindowClose);
    ax.removeAttribute(panel, "AXSubrole");
    EXPECT_EQ(kindAt(505, 5), Kind::windowClose);
}

TEST_F(ClickResolverTest, WindowButtonAndArrowSubrolesBeatTheRole)
{
    add("AXImage", "AXCloseButton", { { 0, 0 }, { 10, 10 } });
    add("AXCheckBox", "AXIncrementArrow", { { 10, 0 }, { 10, 10 } });
    add("AXScrollBar", "AXDecrementArrow", { { 20, 0 }, { 10, 10 } });

    EXPECT_EQ(kindAt(5, 5), Kind::windowClose);
    EXPECT_EQ(kindAt(15, 5), Kind::littleArrowUp);
    EXPECT_EQ(kindAt(25, 5), Kind::littleArrowDown);
}

TEST_F(ClickResolverTest, TheDefaultButtonBeatsTheCancelButton)
{
    const auto ok = add("AXButton", std::nullopt, { { 0, 0 }, { 10, 10 } });
    const auto cancel = add("AXButton", std::nullopt, { { 10, 0 }, { 10, 10 } });
    ax.setAttribute(window, "AXDefaultButton", AXValue::element(ok));
    ax.setAttribute(window, "AXCancelButton", AXValue::element(cancel));

    EXPECT_EQ(kindAt(5, 5), Kind::defaultButton);
    EXPECT_EQ(kindAt(15, 5), Kind::cancelButton);

    ax.setAttribute(window, "AXCancelButton", AXValue::element(ok));
    EXPECT_EQ(kindAt(5, 5), Kind::defaultButton);
    EXPECT_EQ(kindAt(15, 5), Kind::button);
}

TEST_F(ClickResolverTest, ToggleAndSwitchButtonsAreCheckBoxes)
{
    add("AXButton", "AXToggle", { { 0, 0 }, { 10, 10 } });
    add("AXButton", "AXSwitch", { { 10, 0 }, { 10, 10 } });
    add("AXCheckBox", std::nullopt, { { 20, 0 }, { 10, 10 } });
    add("AXButton", "AXSortButton", { { 30, 0 }, { 10, 10 } });

    EXPECT_EQ(kindAt(5, 5), Kind::checkbox);
    EXPECT_EQ(kindAt(15, 5), Kind::checkbox);
    EXPECT_EQ(kindAt(25, 5), Kind::checkbox);
    EXPECT_EQ(kindAt(35, 5), Kind::button);
}

TEST_F(ClickResolverTest, ARadioButtonIsATabOnlyWhenItsDirectParentIsATabGroup)
{
    const auto tabs = add("AXTabGroup", std::nullopt, { { 0, 0 }, { 100, 20 } });
    add(tabs, "AXRadioButton", std::nullopt, { { 0, 0 }, { 50, 20 } }, window);
    const auto group = add(tabs, "AXGroup", std::nullopt, { { 50, 0 }, { 50, 20 } }, window);
    add(group, "AXRadioButton", std::nullopt, { { 50, 0 }, { 50, 20 } }, window);
    add("AXRadioButton", std::nullopt, { { 0, 100 }, { 50, 20 } });

    EXPECT_EQ(kindAt(10, 10), Kind::tab);
    EXPECT_EQ(kindAt(60, 10), Kind::radio);
    EXPECT_EQ(kindAt(10, 110), Kind::radio);
}

TEST_F(ClickResolverTest, EveryOtherControlRoleHasItsKind)
{
    const std::pair<const char*, Kind> roles[] = {
        { "AXPopUpButton", Kind::popUp },
        { "AXMenuButton", Kind::popUp },
        { "AXComboBox", Kind::popUp },
        { "AXDisclosureTriangle", Kind::disclosure },
        { "AXIncrementor", Kind::littleArrowUp },
        { "AXScrollBar", Kind::scrollTrack },
        { "AXSlider", Kind::sliderTrack },
        { "AXValueIndicator", Kind::sliderTrack },
        { "AXStaticText", Kind::genericClick },
    };
    double x = 0;
    for (const auto& [role, kind] : roles) {
        add(role, std::nullopt, { { x, 0 }, { 10, 10 } });
        EXPECT_EQ(kindAt(x + 5, 5), kind) << role;
        x += 10;
    }
}

TEST_F(ClickResolverTest, GenericClicksResolveOnlyWhileSwitchedOn)
{
    EXPECT_EQ(kindAt(400, 400), Kind::genericClick); // the window background

    resolver.playsGenericClick = false;
    EXPECT_EQ(at(400, 400), std::nullopt);
    add("AXButton");
    EXPECT_EQ(kindAt(15, 15), Kind::button);
}

TEST_F(ClickResolverTest, MenusNeverResolveWhateverTheirSubrole)
{
    add("AXMenuBar", std::nullopt, { { 0, 0 }, { 10, 10 } });
    add("AXMenuBarItem", std::nullopt, { { 10, 0 }, { 10, 10 } });
    add("AXMenu", std::nullopt, { { 20, 0 }, { 10, 10 } });
    add("AXMenuItem", "AXCloseButton", { { 30, 0 }, { 10, 10 } });

    for (double x : { 5, 15, 25, 35 })
        EXPECT_EQ(at(x, 5), std::nullopt) << x;
}

TEST_F(ClickResolverTest, AnElementWithoutARoleResolvesToNothing)
{
    const auto close = add("AXButton", "AXCloseButton");
    ax.removeAttribute(close, "AXRole");
    EXPECT_EQ(at(15, 15), std::nullopt);

    ax.setAttribute(close, "AXRole", AXValue::integer(1)); // not text
    EXPECT_EQ(at(15, 15), std::nullopt);
}

TEST_F(ClickResolverTest, APositionWithoutASizeGivesNoFrame)
{
    const auto button = add("AXButton");
    ax.setAttributeError(button, "AXSize", AXError::noValue);
    EXPECT_EQ(at(15, 15), (TintraClickTarget { Kind::button, std::nullopt, mail, "Mail" }));

    ax.setAttributeError(button, "AXSize", std::nullopt);
    ax.setAttributeError(button, "AXPosition", AXError::attributeUnsupported);
    EXPECT_EQ(at(15, 15)->frame, std::nullopt);
}

TEST_F(ClickResolverTest, AFailedBatchIsAskedAttributeByAttribute)
{
    const auto ok = add("AXButton");
    ax.setAttribute(window, "AXDefaultButton", AXValue::element(ok));
    ax.setCallError(ok, AccessibilityFake::Call::multipleAttributeValues, AXError::failure);
    ax.setCallError(window, AccessibilityFake::Call::multipleAttributeValues, AXError::cannotComplete);
    ax.setAttributeError(ok, "AXSubrole", AXError::cannotComplete);

    EXPECT_EQ(at(15, 15), (TintraClickTarget { Kind::defaultButton, Rect { 10, 10, 80, 20 }, mail, "Mail" }));
}

TEST_F(ClickResolverTest, AnElementWithoutAWindowIsItsOwnWindow)
{
    const auto sheet = ax.addElement(window, { { "AXRole", AXValue::text("AXButton") }, { "AXSubrole", AXValue::text("AXCloseButton") } });
    ax.setFrame(sheet, { { 0, 0 }, { 10, 10 } });
    ax.setAttribute(window, "AXSubrole", AXValue::text("AXFloatingWindow")); // not asked: no window attribute

    EXPECT_EQ(kindAt(5, 5), Kind::windowClose);
    ax.setAttribute(sheet, "AXDefaultButton", AXValue::element(sheet));
    ax.setAttribute(sheet, "AXSubrole", AXValue::text("AXFloatingWindow"));
    ax.setAttribute(sheet, "AXRole", AXValue::text("AXButton"));
    EXPECT_EQ(kindAt(5, 5), Kind::defaultButton);
}

TEST_F(ClickResolverTest, ThisApplicationsOwnWindowsNeverResolve)
{
    const auto own = ax.addApplication(host);
    const auto settings = ax.addElement(own, { { "AXRole", AXValue::text("AXButton") } });
    ax.setFrame(settings, { { 0, 0 }, { 50, 50 } });

    EXPECT_EQ(at(5, 5), std::nullopt);
}

TEST_F(ClickResolverTest, ExcludedApplicationsResolveAgainOnceIncluded)
{
    add("AXButton");
    exclusions.exclude(mailIdentifier);
    EXPECT_EQ(at(15, 15), std::nullopt);

    exclusions.include(mailIdentifier);
    EXPECT_EQ(kindAt(15, 15), Kind::button);
    EXPECT_EQ(workspace.lookupCount(), 1); // the identity was cached, not the decision
}

TEST_F(ClickResolverTest, AnApplicationWithoutABundleIdentifierIsNeverExcluded)
{
    workspace.launch({ mail, "Mail", std::nullopt });
    exclusions.exclude("");
    EXPECT_EQ(kindAt(15, 15), Kind::genericClick);
}

TEST_F(ClickResolverTest, IdentitiesAreCachedPerProcessUntilForgotten)
{
    at(15, 15);
    at(15, 15);
    EXPECT_EQ(workspace.lookupCount(), 1);
    EXPECT_EQ(resolver.cachedIdentityCount(), 1u);

    workspace.quit(mail);
    workspace.launch({ mail, "Notes", "org.example.Notes" }); // the identifier reused
    EXPECT_EQ(at(15, 15)->applicationName, "Mail");
    resolver.forgetProcess(mail);
    EXPECT_EQ(at(15, 15)->applicationName, "Notes");

    resolver.forgetAll();
    EXPECT_EQ(resolver.cachedIdentityCount(), 0u);
}

TEST_F(ClickResolverTest, AnUnknownProcessIsCachedWithoutNameAndStillResolves)
{
    workspace.quit(mail);
    EXPECT_EQ(at(15, 15), (TintraClickTarget { Kind::genericClick, Rect { 0, 0, 800, 600 }, mail, std::nullopt }));
    at(15, 15);
    EXPECT_EQ(workspace.lookupCount(), 1);
}

TEST_F(ClickResolverTest, AHungApplicationCostsOneTenthOfASecondAndResolvesToNothing)
{
    const auto start = clock.monotonicNow();
    ax.setAnswerDelay(mail, seconds(0.5));

    EXPECT_EQ(at(15, 15), std::nullopt);
    EXPECT_EQ(clock.monotonicNow() - start, seconds(0.1));
}

TEST_F(ClickResolverTest, NothingUnderThePointOrNoTrustResolvesToNothing)
{
    EXPECT_EQ(at(900, 900), std::nullopt);
    ax.setTrusted(false);
    EXPECT_EQ(at(15, 15), std::nullopt);
}

// --- The sounds of each kind

TEST(ControlKindTest, TracksAndGenericClicksHaveOnlyAPressSound)
{
    for (auto kind : { Kind::scrollTrack, Kind::sliderTrack, Kind::genericClick }) {
        EXPECT_EQ(releaseSoundID(kind), std::nullopt);
        EXPECT_EQ(enterSoundID(kind), std::nullopt);
        EXPECT_EQ(exitSoundID(kind), std::nullopt);
    }
    EXPECT_EQ(pressSoundID(Kind::genericClick), TintraSoundID::mouseClick);
    EXPECT_EQ(pressSoundID(Kind::scrollTrack), TintraSoundID("sbtp"));
}

TEST(ControlKindTest, EverySoundIsInTheCatalogueAndOnlyTheLittleArrowsShare)
{
    std::map<TintraSoundID, int> uses;
    for (auto kind : allControlKinds) {
        EXPECT_NE(entryBySoundID(pressSoundID(kind)), nullptr) << pressSoundID(kind).description();
        ++uses[pressSoundID(kind)];
        for (const auto& sound : { releaseSoundID(kind), enterSoundID(kind), exitSoundID(kind) }) {
            if (!sound)
                continue;
            EXPECT_NE(entryBySoundID(*sound), nullptr) << sound->description();
            ++uses[*sound];
        }
    }
    for (const auto& [sound, count] : uses)
        EXPECT_EQ(count, sound == TintraSoundID("lare") || sound == TintraSoundID("larx") ? 2 : 1) << sound.description();
    EXPECT_EQ(pressSoundID(Kind::littleArrowDown), TintraSoundID("ladp"));
    EXPECT_EQ(releaseSoundID(Kind::utilityWindowCollapse), TintraSoundID("ucor"));
}

} // namespace
} // namespace tintra
