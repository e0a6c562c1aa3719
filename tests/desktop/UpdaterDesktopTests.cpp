#include "app/UpdateDialogs.h"
#include "desktop/MainLoopWait.h"
#include "desktop/VirtualDesktop.h"
#include "fakes/DefaultsMemory.h"
#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/dbus/DesktopNotifications.h"
#include "platform/linux/updates/LoopbackHttpServer.h"
#include "platform/linux/updates/UpdateFeedCurl.h"
#include "platform/linux/updates/UpdateSigningKey.h"
#include "shell/PellUpdater.h"

#include <QApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tintra {
namespace {

using namespace std::chrono_literals;

// The updater as the program composes it, on a virtual desktop whose
// notification server is python-dbusmock's, against a feed on 127.0.0.1.
class UpdaterDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop = std::make_unique<VirtualDesktop>(VirtualDesktop::Options { .windowManager = false, .accessibility = false });
        if (desktop->skipReason)
            GTEST_SKIP() << *desktop->skipReason;
        if (desktop->run("/usr/bin/python3 -c 'import dbusmock'") != 0)
            GTEST_SKIP() << "python3-dbusmock is not installed";
        notificationServer = desktop->start({ "/usr/bin/python3", "-m", "dbusmock", "--template", "notification_daemon",
            "--parameters", R"({"capabilities": "actions body"})" });
        ASSERT_EQ(desktop->run("gdbus wait --session --timeout 20 org.freedesktop.Notifications"), 0) << desktop->log();

        setenv("QT_QPA_PLATFORM", "xcb", 1);
        application = std::make_unique<QApplication>(argc, argv);
        server.put("/TintraDorvel-0.2.0-x86_64.AppImage", release);
        server.put("/appcast.xml", R"(<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>
            <item><title>Version 0.2.0</title><sparkle:version>0.2.0</sparkle:version>
              <description><![CDATA[<p>Quieter.</p>]]></description>
              <enclosure url=")" + server.url("/TintraDorvel-0.2.0-x86_64.AppImage")
                + R"(" length=")" + std::to_string(release.size()) + R"(" sparkle:edSignature=")"
                + key.signatureOf(release) + R"("/></item></channel></rss>)");
    }

    // What the notification server was asked, as gdbus prints it.
    std::string notifyCalls() const
    {
        return desktop->capture("gdbus call --session -d org.freedesktop.Notifications -o /org/freedesktop/Notifications "
                                "-m org.freedesktop.DBus.Mock.GetMethodCalls Notify");
    }

    std::unique_ptr<VirtualDesktop> desktop;
    ChildProcess notificationServer;
    int argc = 1;
    char name[16] = "tintra-updater";
    char* argv[2] = { name, nullptr };
    std::unique_ptr<QApplication> application;
    const std::string release = "#!/bin/sh\necho the next version\n";
    UpdateSigningKey key;
    LoopbackHttpServer server;
};

TEST_F(UpdaterDesktop, ABackgroundUpdateIsANotificationWhoseClickOpensTheWindowThatDownloadsIt)
{
    MainExecutorGlib executor;
    DefaultsMemory defaults;
    defaults.set("SUEnableAutomaticChecks", true);
    UpdateFeedCurl feed(executor, server.url("/appcast.xml"), key.publicKey());
    std::filesystem::path revealed;
    TintraUpdateDialogs dialogs(feed,
        { .currentVersion = "0.1.0",
            .downloadFolder = desktop->folder() / "Downloads",
            .revealFile = [&revealed](const std::filesystem::path& file) { revealed = file; } });
    DesktopNotifications notifications("Tintra Dorvel", "org.tintradorvel.TintraDorvel");
    PellUpdater updater(feed, dialogs, notifications, defaults, executor, SystemClock::shared(),
        { .version = "0.1.0", .feedURL = server.url("/appcast.xml"), .publicEDKey = key.publicKey(),
            .applicationName = "Tintra Dorvel", .firstCheckDelay = 1s });
    updater.start();

    // No window of ours is in front, so the update waits in a notification.
    ASSERT_TRUE(iterateUntil([&] { return notifyCalls().find("Tintra Dorvel 0.2.0 is available") != std::string::npos; }, 20s))
        << notifyCalls() << desktop->log();
    EXPECT_NE(notifyCalls().find("Click to install it."), std::string::npos);
    EXPECT_NE(notifyCalls().find("'default'"), std::string::npos);
    EXPECT_FALSE(dialogs.updateWindow());

    ASSERT_EQ(desktop->run("gdbus call --session -d org.freedesktop.Notifications -o /org/freedesktop/Notifications "
                           "-m org.freedesktop.DBus.Mock.EmitSignal org.freedesktop.Notifications ActionInvoked us "
                           "\"[<uint32 1>, <'default'>]\" >/dev/null"),
        0);
    ASSERT_TRUE(iterateUntil([&] { return dialogs.updateWindow() && dialogs.updateWindow()->isVisible(); }, 20s))
        << desktop->log();

    QPushButton* download = nullptr;
    for (auto* button : dialogs.updateWindow()->findChildren<QPushButton*>())
        download = button->text() == "Download" ? button : download;
    ASSERT_TRUE(download);
    download->click();
    ASSERT_TRUE(iterateUntil([&] { return !revealed.empty(); }, 20s)) << desktop->log();
    EXPECT_EQ(revealed, desktop->folder() / "Downloads" / "TintraDorvel-0.2.0-x86_64.AppImage");
    std::ifstream file(revealed, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), release);
}

} // namespace
} // namespace tintra
