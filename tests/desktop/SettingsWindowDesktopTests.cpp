#include "desktop/VirtualDesktop.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tintra {
namespace {

using namespace std::chrono_literals;

struct Control {
    std::string role;
    std::string name;
};

// Where a control stands, for a failure's message: the named control before it.
std::string listingBefore(const std::vector<Control>& controls, const Control& control)
{
    std::string before = "the start";
    for (const auto& other : controls) {
        if (&other == &control)
            break;
        if (!other.name.empty())
            before = other.role + " \"" + other.name + "\"";
    }
    return before;
}

// The settings window in a process of its own on a virtual desktop, read as a
// screen reader reads it.
class SettingsWindowDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (desktop.skipReason)
            GTEST_SKIP() << *desktop.skipReason;
        if (desktop.run("/usr/bin/python3 -c 'import gi; gi.require_version(\"Atspi\", \"2.0\")' 2>/dev/null") != 0)
            GTEST_SKIP() << "Python's AT-SPI bindings (gir1.2-atspi-2.0, python3-gi) are not installed";
    }

    std::string said() const
    {
        std::ifstream file(output);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::vector<Control> controls(pid_t pid) const
    {
        const auto listing = desktop.capture(
            "/usr/bin/python3 " + std::string(TINTRA_PROGRAMS_DIR) + "/atspi-controls.py " + std::to_string(pid));
        std::vector<Control> found;
        std::istringstream lines(listing);
        for (std::string line; std::getline(lines, line);) {
            const auto tab = line.find('\t');
            if (tab != std::string::npos)
                found.push_back({ line.substr(0, tab), line.substr(tab + 1) });
        }
        return found;
    }

    VirtualDesktop desktop;
    std::filesystem::path output = desktop.folder() / "probe.out";
};

TEST_F(SettingsWindowDesktop, EveryControlIsNamedOnTheAccessibilityBus)
{
    ChildProcess probe({ TINTRA_SETTINGS_WINDOW_PROBE }, { { "QT_QPA_PLATFORM", "xcb" } }, output);
    ASSERT_TRUE(VirtualDesktop::waitUntil([&] { return said().find("shown\n") != std::string::npos; }, 20s))
        << said() << desktop.log();

    std::vector<Control> found;
    std::vector<std::string> tabs, unnamed;
    bool hasClickSwitch = false;
    // Qt registers the window on the bus a moment after it maps, and fills it in as it is asked.
    VirtualDesktop::waitUntil([&] {
        found = controls(probe.pid());
        tabs.clear();
        unnamed.clear();
        hasClickSwitch = false;
        for (const auto& control : found) {
            if (control.role == "page-tab")
                tabs.push_back(control.name);
            if (control.name.empty())
                unnamed.push_back(control.role + " after " + listingBefore(found, control));
            hasClickSwitch = hasClickSwitch || control.name == "Play sounds for clicks on controls";
        }
        return tabs.size() == 4 && hasClickSwitch;
    }, 20s);
    EXPECT_EQ(tabs, (std::vector<std::string> { "General", "Sound Sets", "Afflicted Apps", "WTF Was That?!" }));
    EXPECT_TRUE(hasClickSwitch) << found.size() << " controls";
    EXPECT_TRUE(unnamed.empty()) << unnamed.size() << " unnamed, the first a " << (unnamed.empty() ? "" : unnamed[0]);
}

} // namespace
} // namespace tintra
