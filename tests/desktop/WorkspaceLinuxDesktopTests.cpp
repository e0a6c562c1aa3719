#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/WorkspaceLinux.h"
#include "platform/linux/atspi/AccessibilityAtspi.h"
#include "platform/linux/dbus/LoginSession.h"
#include "platform/linux/files/DiskArbitrationLinux.h"

#include "desktop/MainLoopWait.h"
#include "desktop/PrivateMounts.h"
#include "desktop/TestWindow.h"
#include "desktop/VirtualDesktop.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>

namespace tintra {
namespace {

bool lists(const WorkspaceLinux& workspace, pid_t process)
{
    return workspace.runningApplication(process).has_value();
}

TEST(WorkspaceLinuxDesktop, AProcessWithAWindowRunsWithItsDesktopEntryFollowsActivationAndQuitsOnce)
{
    VirtualDesktop desktop;
    if (desktop.skipReason)
        GTEST_SKIP() << *desktop.skipReason;
    std::filesystem::create_directories(desktop.folder() / "data/applications");
    const auto entry = desktop.folder() / "data/applications/org.example.Sleeper.desktop";
    std::ofstream(entry) << "[Desktop Entry]\nType=Application\nName=Sleeper\nName[de]=Schläfer\nExec=sleep 60\n";
    setenv("LANGUAGE", "de", 1);
    auto sleeper = desktop.start({ "sleep", "60" });

    WorkspaceLinux workspace;
    int changes = 0;
    auto subscription = workspace.observeRunningApplications([&] { ++changes; });
    auto window = std::make_unique<TestWindow>("Sleeping", 100, 100, 300, 200, sleeper.pid());
    TestWindow own("Own", 500, 100, 300, 200, getpid());
    ASSERT_TRUE(iterateUntil([&] { return lists(workspace, sleeper.pid()) && lists(workspace, getpid()); })) << desktop.log();
    unsetenv("LANGUAGE");

    const auto application = *workspace.runningApplication(sleeper.pid());
    EXPECT_EQ(application.bundleIdentifier, "org.example.Sleeper");
    EXPECT_EQ(application.localizedName, "Schläfer");
    EXPECT_EQ(application.bundleURL, entry);
    ASSERT_TRUE(application.executableURL);
    EXPECT_EQ(application.executableURL->filename(), "sleep");
    EXPECT_EQ(application.activationPolicy, ActivationPolicy::regular);
    EXPECT_EQ(workspace.urlForApplication("org.example.Sleeper"), entry);
    // This test program has no entry: its process name.
    EXPECT_EQ(workspace.runningApplication(getpid())->bundleIdentifier, std::nullopt);
    EXPECT_TRUE(workspace.runningApplication(getpid())->localizedName.has_value());

    const int launches = changes;
    EXPECT_GE(launches, 1);
    for (const auto& [xid, pid] : { std::pair { own.id(), getpid() }, std::pair { window->id(), sleeper.pid() } }) {
        ASSERT_EQ(desktop.run("xdotool windowactivate --sync " + std::to_string(xid)), 0) << desktop.log();
        EXPECT_TRUE(iterateUntil([&, pid = pid] {
            const auto front = workspace.frontmostApplication();
            return front && front->processIdentifier == pid;
        })) << pid;
    }
    // Raising a window reorders the stack, which is no launch.
    EXPECT_EQ(changes, launches);

    window.reset();
    ASSERT_TRUE(iterateUntil([&] { return !lists(workspace, sleeper.pid()); })) << desktop.log();
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_EQ(changes, launches + 1);
    EXPECT_TRUE(lists(workspace, getpid()));
}

TEST(WorkspaceLinuxDesktop, ApplicationsOnTheAccessibilityBusRunAlsoWithoutAWindowAndTheQtProgramByItsEntry)
{
    VirtualDesktop desktop;
    if (desktop.skipReason)
        GTEST_SKIP() << *desktop.skipReason;
    std::filesystem::create_directories(desktop.folder() / "data/applications");
    std::ofstream(desktop.folder() / "data/applications/org.tintradorvel.test.QtControls.desktop")
        << "[Desktop Entry]\nType=Application\nName=Qt Controls\nExec=" TINTRA_QT6_CONTROLS "\n";
    MainExecutorGlib executor;
    AccessibilityAtspi accessibility(executor);
    WorkspaceLinux workspace(&accessibility);
    int changes = 0;
    auto subscription = workspace.observeRunningApplications([&] { ++changes; });

    // A GTK program that shows nothing, as a tray's helper may be, on a Python of another name
    // than the one of the system's entry, so that nothing but its own name names it.
    const auto python = desktop.folder() / "tintra-windowless";
    std::filesystem::copy_file(std::filesystem::canonical("/usr/bin/python3"), python);
    auto windowless = desktop.start({ python.string(), "-c",
        "import gi\nfrom gi.repository import GLib\nGLib.set_prgname('Tintra Windowless')\n"
        "gi.require_version('Gtk', '3.0')\nfrom gi.repository import Gtk\nGtk.main()\n" });
    ASSERT_TRUE(iterateUntil([&] { return lists(workspace, windowless.pid()); })) << desktop.log();
    const auto shown = *workspace.runningApplication(windowless.pid());
    EXPECT_EQ(shown.localizedName, "Tintra Windowless");
    EXPECT_EQ(shown.activationPolicy, ActivationPolicy::prohibited);

    auto qt = desktop.start({ TINTRA_QT6_CONTROLS });
    ASSERT_TRUE(iterateUntil([&] { return lists(workspace, qt.pid()); })) << desktop.log();
    const auto application = *workspace.runningApplication(qt.pid());
    EXPECT_EQ(application.bundleIdentifier, "org.tintradorvel.test.QtControls");
    EXPECT_EQ(application.localizedName, "Qt Controls");
    // On the bus before its window is mapped, it becomes regular with the window.
    EXPECT_TRUE(iterateUntil([&] { return workspace.runningApplication(qt.pid())->activationPolicy == ActivationPolicy::regular; }));

    const int before = changes;
    windowless.stop();
    EXPECT_TRUE(iterateUntil([&] { return !lists(workspace, windowless.pid()); })) << desktop.log();
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_EQ(changes, before + 1);
}

TEST(WorkspaceLinuxDesktop, ATmpfsMountedBelowMediaIsToldMountedDescribedAndUnmounted)
{
    if (const auto shared = keepMountsToOurselves())
        GTEST_SKIP() << *shared;
    const auto folder = std::filesystem::path("/media") / ("tintra-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    WorkspaceLinux workspace;
    std::vector<VolumeNotification> mounted, unmounted;
    auto onMount = workspace.observe(WorkspaceNotification::didMount, [&](const VolumeNotification& volume) { mounted.push_back(volume); });
    auto onUnmount = workspace.observe(WorkspaceNotification::didUnmount, [&](const VolumeNotification& volume) { unmounted.push_back(volume); });

    if (mount("tintra-test", folder.c_str(), "tmpfs", 0, "size=1m") != 0) {
        const int error = errno;
        std::filesystem::remove(folder);
        GTEST_SKIP() << "the kernel refused to mount a tmpfs: " << std::strerror(error);
    }
    const bool told = iterateUntil([&] { return !mounted.empty(); });
    DiskArbitrationLinux disks;
    const auto volumes = disks.mountedVolumeURLs();
    const auto description = disks.copyDescription(folder);
    umount(folder.c_str());
    EXPECT_TRUE(iterateUntil([&] { return !unmounted.empty(); }));
    std::filesystem::remove(folder);
    ASSERT_TRUE(told);
    ASSERT_EQ(mounted.size(), 1u);
    EXPECT_EQ(mounted.front().volumeURL, folder);
    EXPECT_EQ(mounted.front().localizedVolumeName, folder.filename().string());
    ASSERT_EQ(unmounted.size(), 1u);
    EXPECT_EQ(unmounted.front().volumeURL, folder);

    EXPECT_NE(std::find(volumes.begin(), volumes.end(), folder), volumes.end());
    ASSERT_TRUE(description);
    const auto value = [&](DADiskDescriptionKey key) { return description->at(key); };
    EXPECT_EQ(value(DADiskDescriptionKey::volumeName), DADiskValue(folder.filename().string()));
    EXPECT_EQ(value(DADiskDescriptionKey::volumePath), DADiskValue(folder));
    EXPECT_EQ(value(DADiskDescriptionKey::volumeKind), DADiskValue(std::string("tmpfs")));
    EXPECT_EQ(value(DADiskDescriptionKey::mediaSize), DADiskValue(std::int64_t(1024 * 1024)));
    EXPECT_EQ(value(DADiskDescriptionKey::mediaWritable), DADiskValue(true));
    EXPECT_EQ(value(DADiskDescriptionKey::volumeNetwork), DADiskValue(false));
    EXPECT_FALSE(disks.copyDescription(folder).has_value()) << "described after it went";
}

TEST(LoginSessionDesktop, LogindsShutdownAndTheSessionsActivityAreTold)
{
    VirtualDesktop desktop { { .windowManager = false, .accessibility = false, .systemBus = true } };
    if (desktop.skipReason)
        GTEST_SKIP() << *desktop.skipReason;
    auto logind = desktop.start({ "/usr/bin/python3", "-m", "dbusmock", "--system", "-t", "logind" });
    ASSERT_EQ(desktop.run("gdbus wait --system --timeout 20 org.freedesktop.login1"), 0) << desktop.log();
    const std::string mock = "gdbus call --system -d org.freedesktop.login1 -o ";
    ASSERT_EQ(desktop.run(mock + "/org/freedesktop/login1 -m org.freedesktop.DBus.Mock.AddSession c1 seat0 0 root true"), 0);
    // The template lacks the lookup of a process's session.
    ASSERT_EQ(desktop.run(mock + "/org/freedesktop/login1 -m org.freedesktop.DBus.Mock.AddMethod org.freedesktop.login1.Manager "
                                 "GetSessionByPID u o 'ret = dbus.ObjectPath(\"/org/freedesktop/login1/session/c1\")'"),
        0);

    LoginSession login;
    std::vector<std::string> told;
    login.setOnPowerOff([&] { told.push_back("power off"); });
    login.setOnActiveChanged([&](bool active) { told.push_back(active ? "active" : "inactive"); });
    ASSERT_TRUE(iterateUntil([&] { return login.isActive().has_value(); })) << desktop.log();
    EXPECT_EQ(login.isActive(), true);

    const auto session = [&](const char* active) {
        return desktop.run(mock + "/org/freedesktop/login1/session/c1 -m org.freedesktop.DBus.Mock.UpdateProperties "
                                  "org.freedesktop.login1.Session \"{'Active': <" + std::string(active) + ">}\"");
    };
    ASSERT_EQ(session("false"), 0);
    ASSERT_TRUE(iterateUntil([&] { return told.size() == 1; })) << desktop.log();
    ASSERT_EQ(session("true"), 0);
    ASSERT_TRUE(iterateUntil([&] { return told.size() == 2; })) << desktop.log();
    const std::string shutdown = mock + "/org/freedesktop/login1 -m org.freedesktop.DBus.Mock.EmitSignal "
                                        "org.freedesktop.login1.Manager PrepareForShutdown b ";
    const auto state = [&](const char* value) {
        return desktop.run(mock + "/org/freedesktop/login1/session/c1 -m org.freedesktop.DBus.Mock.UpdateProperties "
                                  "org.freedesktop.login1.Session \"{'State': <'" + std::string(value) + "'>}\"");
    };
    // Called off: no news. Then for real, and the sessions closing with it are the same end.
    ASSERT_EQ(desktop.run(shutdown + "'[<false>]'"), 0);
    ASSERT_EQ(desktop.run(shutdown + "'[<true>]'"), 0);
    ASSERT_TRUE(iterateUntil([&] { return told.size() == 3; })) << desktop.log();
    ASSERT_EQ(state("closing"), 0);
    iterateFor(std::chrono::milliseconds(300));
    // Called off again; then a logout alone.
    ASSERT_EQ(desktop.run(shutdown + "'[<false>]'"), 0);
    ASSERT_EQ(state("active"), 0);
    ASSERT_EQ(state("closing"), 0);
    ASSERT_TRUE(iterateUntil([&] { return told.size() == 4; })) << desktop.log();
    iterateFor(std::chrono::milliseconds(300));
    EXPECT_EQ(told, (std::vector<std::string> { "inactive", "active", "power off", "power off" }));
}

} // namespace
} // namespace tintra
