#include "platform/linux/GLibHandles.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "platform/linux/files/LoginItemServiceAutostart.h"
#include "fakes/TemporaryFolder.h"

#include <gio/gdesktopappinfo.h>
#include <gtest/gtest.h>

#include <fstream>

namespace tintra {
namespace {

namespace fs = std::filesystem;

// A program that exists, at a path that the Exec line must quote.
fs::path writeProgram(const fs::path& folder, const std::string& name = "tintra \"dorvel\"")
{
    const auto program = folder / "my apps" / name;
    fs::create_directories(program.parent_path());
    std::ofstream(program) << "#!/bin/sh\n";
    fs::permissions(program, fs::perms::owner_all);
    return program;
}

TEST(LoginItemServiceAutostart, TheAutostartFolderFollowsXDGConfigHome)
{
    EXPECT_EQ(autostartDirectory("/config", "/home/ann"), fs::path("/config/autostart"));
    EXPECT_EQ(autostartDirectory(nullptr, "/home/ann"), fs::path("/home/ann/.config/autostart"));
    EXPECT_EQ(autostartDirectory("relative", "/home/ann"), fs::path("/home/ann/.config/autostart"));
}

TEST(LoginItemServiceAutostart, RegisteringWritesAnEntryThatTheSessionStartsWithOpenedAtLogin)
{
    TemporaryFolder folder;
    const auto program = writeProgram(folder.path());
    LoginItemServiceAutostart service(program, folder / "config" / "autostart");
    EXPECT_EQ(service.status(), TintraLoginItemStatus::notRegistered);
    EXPECT_TRUE(service.unregisterItem()) << "nothing to remove is no failure";

    ASSERT_TRUE(service.registerItem());
    EXPECT_EQ(service.entry(), folder / "config" / "autostart" / (TINTRA_MAKER_PREFIX ".TintraDorvel.desktop"));
    EXPECT_EQ(service.status(), TintraLoginItemStatus::enabled);
    ASSERT_TRUE(service.registerItem()) << "registering again rewrites the same entry";

    // Read back the way GNOME's session reads it.
    GObjectHandle<GDesktopAppInfo> info(g_desktop_app_info_new_from_filename(service.entry().c_str()));
    ASSERT_TRUE(info);
    gchar** arguments = nullptr;
    ASSERT_TRUE(g_shell_parse_argv(g_app_info_get_commandline(G_APP_INFO(info.get())), nullptr, &arguments, nullptr));
    std::vector<std::string> argv(arguments, arguments + g_strv_length(arguments));
    g_strfreev(arguments);
    EXPECT_EQ(argv, (std::vector<std::string> { program.string(), "--opened-at-login" }));

    ASSERT_TRUE(service.unregisterItem());
    EXPECT_FALSE(fs::exists(service.entry()));
    EXPECT_EQ(service.status(), TintraLoginItemStatus::notRegistered);
}

TEST(LoginItemServiceAutostart, AnEntryForAMissingProgramIsNotFoundAndOneSwitchedOffIsNotRegistered)
{
    TemporaryFolder folder;
    // A percent sign is doubled in the entry so that it is no field code, and read back single.
    const auto program = writeProgram(folder.path(), "tintra 100%");
    LoginItemServiceAutostart service(program, folder.path());
    ASSERT_TRUE(service.registerItem());
    EXPECT_EQ(service.status(), TintraLoginItemStatus::enabled);
    fs::remove(program);
    EXPECT_EQ(service.status(), TintraLoginItemStatus::notFound);

    std::ofstream(service.entry()) << "[Desktop Entry]\nType=Application\nName=Tintra Dorvel\nExec=sh\nHidden=true\n";
    EXPECT_EQ(service.status(), TintraLoginItemStatus::notRegistered);
    std::ofstream(service.entry()) << "[Desktop Entry]\nType=Application\nName=Tintra Dorvel\nExec=sh\nX-GNOME-Autostart-enabled=false\n";
    EXPECT_EQ(service.status(), TintraLoginItemStatus::notRegistered);
    std::ofstream(service.entry()) << "[Desktop Entry]\nType=Application\nName=Tintra Dorvel\nExec=sh --opened-at-login\n";
    EXPECT_EQ(service.status(), TintraLoginItemStatus::enabled) << "a program on PATH is found";
}

TEST(LoginItemServiceAutostart, AFolderThatCannotBeMadeIsAFailureWithTheSystemsWords)
{
    TemporaryFolder folder;
    std::ofstream(folder / "config") << "a file where the folder should be";
    LoginItemServiceAutostart service("/usr/bin/tintra-dorvel", folder / "config" / "autostart");
    const auto result = service.registerItem();
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().description().find("Not a directory"), std::string::npos) << result.error().description();
    EXPECT_EQ(service.status(), TintraLoginItemStatus::notRegistered);
}

} // namespace
} // namespace tintra
