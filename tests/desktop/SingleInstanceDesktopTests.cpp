#include "desktop/VirtualDesktop.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tintra {
namespace {

using namespace std::chrono_literals;

// Two processes of the probe on a session bus of the test's own.
class SingleInstanceDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (desktop.skipReason)
            GTEST_SKIP() << *desktop.skipReason;
    }

    ChildProcess start(const std::string& name, std::vector<std::string> files = {},
        const ChildProcess::Environment& environment = {})
    {
        files.insert(files.begin(), TINTRA_SINGLE_INSTANCE_PROBE);
        return ChildProcess(files, environment, output(name));
    }

    std::filesystem::path output(const std::string& name) const { return desktop.folder() / (name + ".out"); }

    std::string said(const std::string& name) const
    {
        std::ifstream file(output(name));
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    bool waitForLine(const std::string& name, const std::string& line)
    {
        return VirtualDesktop::waitUntil([&] { return said(name).find(line + "\n") != std::string::npos; }, 10s);
    }

    int callAction(const std::string& action) const
    {
        return desktop.run("gdbus call --session --dest org.tintradorvel.TintraDorvel --object-path "
                           "/org/tintradorvel/TintraDorvel --method org.freedesktop.Application.ActivateAction "
                           + action + " [] {} >/dev/null 2>&1");
    }

    VirtualDesktop desktop { { .windowManager = false, .accessibility = false } };
};

TEST_F(SingleInstanceDesktop, ASecondStartHandsItsFilesToTheFirstAndExitsZero)
{
    auto first = start("first");
    ASSERT_TRUE(waitForLine("first", "first")) << said("first");

    // Relative to the second start's folder, which need not be the first's.
    const auto here = std::filesystem::current_path();
    auto second = start("second", { "Platinum.rsrc", "/tmp/a folder/Set.tintraset" });
    EXPECT_EQ(second.wait(20s), 0) << said("second");
    EXPECT_EQ(said("second"), "handed over\n");
    ASSERT_TRUE(waitForLine("first", "settings")) << said("first");
    EXPECT_EQ(said("first"), "first\nfiles " + (here / "Platinum.rsrc").string() + " /tmp/a folder/Set.tintraset\nsettings\n");

    // Without files only the settings window is asked for.
    auto third = start("third");
    EXPECT_EQ(third.wait(20s), 0) << said("third");
    ASSERT_TRUE(VirtualDesktop::waitUntil([&] { return said("first").ends_with("settings\nsettings\n"); }, 10s))
        << said("first");

    EXPECT_NE(callAction("no-such-action"), 0);
    EXPECT_TRUE(first.isRunning());
    EXPECT_EQ(callAction("quit"), 0);
    EXPECT_EQ(first.wait(10s), 0) << said("first");

    // The name went with the first instance, so the next start is first again.
    auto next = start("next");
    EXPECT_TRUE(waitForLine("next", "first")) << said("next");
}

TEST_F(SingleInstanceDesktop, WithoutASessionBusEachStartRunsAloneAndSaysSo)
{
    const ChildProcess::Environment noBus { { "DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (desktop.folder() / "no-bus").string() } };
    auto alone = start("alone", {}, noBus);
    EXPECT_EQ(alone.wait(20s), 0) << said("alone");
    EXPECT_NE(said("alone").find("Tintra Dorvel: no session bus"), std::string::npos) << said("alone");
    EXPECT_TRUE(said("alone").ends_with("alone\n")) << said("alone");
}

} // namespace
} // namespace tintra
