#include "catalogue/BundleInfo.h"
#include "catalogue/Event.h"
#include "catalogue/NotificationMapping.h"

#include <gtest/gtest.h>

#include <map>
#include <unordered_set>

namespace tintra {
namespace {

class BundleInfoStub final : public BundleInfo {
public:
    std::map<std::filesystem::path, PropertyList::Dictionary> dictionaries;
    mutable std::vector<std::filesystem::path> asked;

    std::optional<PropertyList::Dictionary> informationDictionary(const std::filesystem::path& url) const override
    {
        asked.push_back(url);
        const auto found = dictionaries.find(url);
        return found == dictionaries.end() ? std::nullopt : std::optional(found->second);
    }
};

TEST(ApplicationDescription, VersionJoinsShortVersionAndDifferingBuild)
{
    EXPECT_EQ(applicationVersion("2.1", "415"), "2.1 (415)");
    EXPECT_EQ(applicationVersion("3", "3"), "3");
    EXPECT_EQ(applicationVersion(std::nullopt, "415"), "415");
    EXPECT_EQ(applicationVersion("2.1", std::nullopt), "2.1");
    EXPECT_EQ(applicationVersion(std::nullopt, std::nullopt), std::nullopt);
}

TEST(ApplicationDescription, ReadsTheVersionFromTheBundleOrElseTheExecutable)
{
    BundleInfoStub info;
    info.dictionaries["/usr/bin/gedit"] = { { "CFBundleShortVersionString", "44.2" }, { "CFBundleVersion", std::int64_t(442) } };
    info.dictionaries["/Apps/Editor.app"] = { { "CFBundleShortVersionString", "2.1" }, { "CFBundleVersion", "415" } };

    const auto withBundle = describeApplication("org.example.Editor", std::filesystem::path("/Apps/Editor.app"),
        std::filesystem::path("/usr/bin/gedit"), info);
    EXPECT_EQ(withBundle.fileURL, std::filesystem::path("/Apps/Editor.app"));
    EXPECT_EQ(withBundle.version, "2.1 (415)");

    // A build number that is not text counts as absent.
    const auto executableOnly = describeApplication(std::nullopt, std::nullopt, std::filesystem::path("/usr/bin/gedit"), info);
    EXPECT_EQ(executableOnly.fileURL, std::filesystem::path("/usr/bin/gedit"));
    EXPECT_EQ(executableOnly.version, "44.2");

    info.asked.clear();
    const auto nowhere = describeApplication("org.example.Ghost", std::nullopt, std::nullopt, info);
    EXPECT_EQ(nowhere, (TintraApplicationDescription { "org.example.Ghost", std::nullopt, std::nullopt }));
    EXPECT_TRUE(info.asked.empty());
}

TEST(ApplicationDescription, DescriptionsDifferByVersion)
{
    const TintraApplicationDescription a { "org.example.Editor", std::filesystem::path("/Apps/Editor.app"), "2.1" };
    auto b = a;
    b.version = "2.1 (415)";
    EXPECT_NE(a, b);
    b.version = "2.1";
    EXPECT_EQ(a, b);
}

TEST(EventElement, HoldsEitherTheLiveElementOrARecordedName)
{
    const auto live = TintraEventElement::unnamed(AXElement(42, "/org/a11y/atspi/accessible/7"));
    ASSERT_NE(live.element(), nullptr);
    EXPECT_EQ(live.name(), nullptr);
    EXPECT_EQ(live.element()->processIdentifier(), 42);

    const auto closed = TintraEventElement::named("AXWindow “Untitled”");
    EXPECT_EQ(closed.element(), nullptr);
    EXPECT_EQ(*closed.name(), "AXWindow “Untitled”");
    // Elements compare by the object they name, not by the reference.
    EXPECT_EQ(live, TintraEventElement::unnamed(AXElement(42, "/org/a11y/atspi/accessible/7", std::make_shared<int>(1))));
}

TEST(NotificationMapping, TheTableAndItsDefaultList)
{
    ASSERT_EQ(notificationMappings().size(), 29u);
    const auto defaults = defaultNotificationMappings();
    ASSERT_EQ(defaults.size(), 21u);
    EXPECT_EQ(defaults.front().notification.rawValue, "AXFocusedWindowChanged");
    EXPECT_EQ(defaults.back().notification.rawValue, "AXSelectedChildrenChanged");

    std::unordered_set<TintraAXNotificationName> enabled;
    for (const auto& mapping : defaults) {
        EXPECT_TRUE(mapping.isEnabledByDefault);
        enabled.insert(mapping.notification);
    }
    EXPECT_EQ(enabled.size(), 21u);
    for (const char* off : { "AXMainWindowChanged", "AXValueChanged", "AXFocusedUIElementChanged", "AXApplicationActivated",
             "AXSelectedTextChanged", "AXCreated", "AXResized", "AXMoved" }) {
        EXPECT_FALSE(enabled.contains({ off })) << off;
    }
}

TEST(NotificationMapping, Resolutions)
{
    using R = TintraSoundResolution;
    EXPECT_EQ(notificationMapping("AXRowExpanded")->resolution, (R { R::fixed { "dscr" } }));
    EXPECT_EQ(notificationMapping("AXRowCollapsed")->resolution, (R { R::fixed { "dscr" } }));
    EXPECT_EQ(notificationMapping("AXSheetCreated")->resolution, (R { R::tracked { "dopn", "dlgc" } }));
    EXPECT_EQ(notificationMapping("AXSelectedChildrenChanged")->resolution, (R { R::selectedChildrenChanged { "fsel", "mnui" } }));
    EXPECT_EQ(notificationMapping("AXWindowCreated")->resolution, (R { R::createdWindow {} }));
    EXPECT_EQ(notificationMapping("AXApplicationHidden")->resolution, (R { R::fixed { TintraSoundID::applicationHide } }));
    EXPECT_EQ(notificationMapping("AXMenuOpened")->resolution, (R { R::fixed { "mnuo" } }));
    EXPECT_EQ(notificationMapping("AXNoSuchThing"), nullptr);
}

TEST(NotificationMapping, DerivedListsNameRowsOfTheTable)
{
    std::vector<std::string> menus;
    for (const auto& name : menuNotifications()) {
        menus.push_back(name.rawValue);
        EXPECT_NE(notificationMapping(name.rawValue), nullptr);
    }
    EXPECT_EQ(menus, (std::vector<std::string> { "AXMenuOpened", "AXMenuClosed", "AXMenuItemSelected", "AXSelectedChildrenChanged" }));

    ASSERT_EQ(selectionNotifications().size(), 3u);
    EXPECT_EQ(selectionNotifications()[0].first.rawValue, "AXSelectedRowsChanged");
    EXPECT_EQ(selectionNotifications()[0].second, "AXSelectedRows");
    EXPECT_EQ(selectionNotifications()[2].second, "AXSelectedColumns");

    ASSERT_EQ(windowDragNotifications().size(), 2u);
    EXPECT_EQ(windowDragNotifications()[1].rawValue, "AXWindowResized");
}

} // namespace
} // namespace tintra
