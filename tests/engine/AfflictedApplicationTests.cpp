#include "engine/AfflictedApplication.h"
#include "engine/Exclusions.h"
#include "fakes/DefaultsMemory.h"
#include "support/ScopedLocale.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

constexpr std::int32_t kHost = 10;

const TintraExclusions::DefaultTable kDefaults {
    { "org.example.Agent", { "Agent", "Observing it plays a lot of sounds twice." } },
};

RunningApplication application(std::int32_t pid, std::optional<std::string> name, std::optional<std::string> identifier)
{
    return { .processIdentifier = pid, .localizedName = std::move(name), .bundleIdentifier = std::move(identifier) };
}

class AfflictedList : public testing::Test {
protected:
    std::vector<TintraAfflictedApplication> build() const
    {
        return buildAfflictedApplications(running, kHost, observed, timeouts, exclusions,
            [this](std::string_view identifier) -> std::optional<InstalledApplication> {
                const auto found = installed.find(std::string(identifier));
                if (found == installed.end())
                    return std::nullopt;
                return found->second;
            });
    }
    const TintraAfflictedApplication& row(const std::vector<TintraAfflictedApplication>& rows, std::string_view id)
    {
        const auto found = std::find_if(rows.begin(), rows.end(), [&](const auto& row) { return row.id() == id; });
        if (found == rows.end())
            throw std::runtime_error("no row " + std::string(id));
        return *found;
    }

    DefaultsMemory defaults;
    TintraExclusions exclusions { defaults, kDefaults };
    std::vector<RunningApplication> running;
    std::map<std::int32_t, int> observed;
    std::map<std::int32_t, TintraAttachTimeout> timeouts;
    std::map<std::string, InstalledApplication> installed;
};

TEST_F(AfflictedList, ListsApplicationsWithAnInterfaceButNotItselfOrTheDead)
{
    running = { application(kHost, "Tintra Dorvel", "org.tintradorvel.TintraDorvel"), application(0, "kernel", {}),
        application(20, "Mail", "org.gnome.Mail"), application(21, "Daemon", "org.example.Daemon"),
        application(22, "Gone", "org.example.Gone"), application(23, "Panel", "org.example.Panel") };
    running[3].activationPolicy = ActivationPolicy::prohibited;
    running[4].isTerminated = true;
    running[5].activationPolicy = ActivationPolicy::accessory;

    const auto rows = build();
    std::vector<std::string> ids;
    for (const auto& row : rows)
        ids.push_back(row.id());
    // Sorted by name, with the default exclusion that is not running last by name.
    EXPECT_EQ(ids, (std::vector<std::string> { "org.example.Agent", "org.gnome.Mail", "org.example.Panel" }));
}

TEST_F(AfflictedList, SecondInstancesAddTheirCountsToTheFirstRow)
{
    running = { application(20, "Terminal", "org.gnome.Terminal"), application(21, "Terminal", "org.gnome.Terminal"),
        application(22, "Terminal", "org.gnome.Terminal") };
    observed = { { 21, 12 }, { 22, 5 } };
    timeouts = { { 22, { 6.04, 3 } } };

    const auto rows = build();
    const auto& terminal = row(rows, "org.gnome.Terminal");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.name == "Terminal"; }), 1);
    EXPECT_EQ(terminal.processIdentifier, 20);
    EXPECT_TRUE(terminal.isObserved);
    EXPECT_EQ(terminal.registeredNotificationCount, 17);
    EXPECT_EQ(terminal.timeout, (TintraAttachTimeout { 6.04, 3 }));
    EXPECT_EQ(terminal.statusText(), "17 notifications");
}

TEST_F(AfflictedList, NamesComeFromTheApplicationThenItsFileThenItsIdentity)
{
    running = { application(20, "  ", "org.gnome.Calculator"), application(21, std::nullopt, std::nullopt),
        application(22, std::nullopt, "org.example.Bare"), application(23, " Padded ", "org.example.Padded") };
    running[0].bundleURL = "/usr/share/applications/Calculator.DESKTOP";
    running[1].executableURL = "/opt/tools/Viewer.APP";

    const auto rows = build();
    EXPECT_EQ(row(rows, "org.gnome.Calculator").name, "Calculator");
    EXPECT_EQ(row(rows, "pid:21").name, "Viewer");
    EXPECT_EQ(row(rows, "pid:21").fileURL, std::filesystem::path("/opt/tools/Viewer.APP"));
    EXPECT_EQ(row(rows, "org.example.Bare").name, "org.example.Bare");
    EXPECT_EQ(row(rows, "org.example.Padded").name, " Padded ");
}

TEST_F(AfflictedList, AProcessWithoutABundleIdentifierIsNeverExcludedAndSaysWhy)
{
    running = { application(31, std::nullopt, std::nullopt) };
    const auto rows = build();
    const auto& anonymous = row(rows, "pid:31");
    EXPECT_EQ(anonymous.name, "pid 31");
    EXPECT_FALSE(anonymous.isExcluded);
    EXPECT_EQ(anonymous.statusText(), "Not observed");
    EXPECT_EQ(anonymous.helpText(),
        "This process has no bundle identifier, so there is nothing to key an exclusion on.");
}

TEST_F(AfflictedList, ExcludedApplicationsThatAreNotRunningAreListedToo)
{
    exclusions.exclude("org.gnome.Maps", "  ");
    exclusions.exclude("org.gnome.Music", "Music");
    installed["org.gnome.Maps"] = { "/usr/share/applications/maps.desktop", "/icons/maps.svg" };

    const auto rows = build();
    const auto& maps = row(rows, "org.gnome.Maps");
    EXPECT_EQ(maps.name, "maps");
    EXPECT_EQ(maps.iconURL, std::filesystem::path("/icons/maps.svg"));
    EXPECT_EQ(maps.processIdentifier, std::nullopt);
    EXPECT_EQ(maps.statusText(), "Excluded, not running");
    EXPECT_EQ(maps.helpText(), "Exclusions are remembered by bundle identifier.");
    EXPECT_EQ(row(rows, "org.gnome.Music").fileURL, std::nullopt);
    EXPECT_EQ(row(rows, "org.example.Agent").statusText(), "Excluded by default, not running");
    EXPECT_EQ(row(rows, "org.example.Agent").helpText(),
        "Excluded by Tintra Dorvel rather than by you: Observing it plays a lot of sounds twice. Include it to hear "
        "it anyway (that is remembered too).");
}

TEST_F(AfflictedList, ARunningExcludedApplicationIsOneRowThatSaysSo)
{
    running = { application(40, "Agent", "org.example.Agent"), application(41, "Files", "org.gnome.Nautilus") };
    exclusions.exclude("org.gnome.Nautilus");

    const auto rows = build();
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(row(rows, "org.example.Agent").statusText(), "Excluded by default");
    EXPECT_EQ(row(rows, "org.gnome.Nautilus").statusText(), "Excluded");
    EXPECT_EQ(afflictedSummary(rows, true), "Observing 0 of 0 apps, 2 excluded.");

    exclusions.include("org.example.Agent");
    EXPECT_EQ(row(build(), "org.example.Agent").statusText(), "Not observed");
}

TEST_F(AfflictedList, SummaryCountsObservedExcludedAndTimedOutRows)
{
    running = { application(20, "Mail", "org.gnome.Mail"), application(21, "Maps", "org.gnome.Maps"),
        application(22, "Music", "org.gnome.Music") };
    observed = { { 20, 1 }, { 21, 4 } };
    timeouts = { { 21, { 0.25, 2 } } };

    const auto rows = build();
    EXPECT_EQ(afflictedSummary(rows, true), "Observing 2 of 3 apps, 1 excluded, 1 timed out.");
    EXPECT_EQ(afflictedSummary(rows, false), "Sounds are switched off, so nothing is being observed. 1 excluded.");
    EXPECT_EQ(row(rows, "org.gnome.Mail").statusText(), "1 notifications");
    EXPECT_EQ(afflictedSummary({}, true), "Observing 0 of 0 apps, 0 excluded.");
}

TEST(AfflictedTimeout, TheDurationHasOneFractionDigitInTheUsersLocale)
{
    TintraAfflictedApplication row;
    EXPECT_EQ(row.timeoutText(), std::nullopt);
    row.timeout = TintraAttachTimeout { 6.26, 7 };
    const ScopedLocale german("de_DE");
    EXPECT_EQ(row.timeoutText(),
        "Did not answer in time. The attach was abandoned after 6,3 s, with 7 of its notifications registered, so "
        "this app is only partly wired up. Rescan to try again.");
}

} // namespace
} // namespace tintra
