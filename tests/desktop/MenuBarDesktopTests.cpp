#include "ui/MenuBar.h"

#include "desktop/VirtualDesktop.h"
#include "fakes/ControllerRig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <map>
#include <memory>
#include <regex>
#include <string>

namespace tintra {
namespace {

using std::chrono::milliseconds;

// The tray on a virtual desktop whose panel is a stand-in StatusNotifierWatcher
// and host, read over D-Bus as a panel would, while this process runs the Qt
// event loop that answers.
class MenuBarDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop = std::make_unique<VirtualDesktop>(VirtualDesktop::Options { .windowManager = false, .accessibility = false });
        if (desktop->skipReason)
            GTEST_SKIP() << *desktop->skipReason;
        if (desktop->run("command -v gdbus") != 0)
            GTEST_SKIP() << "gdbus is not installed";
        host = desktop->start({ "/usr/bin/python3", TINTRA_STATUS_NOTIFIER_HOST });
        ASSERT_TRUE(VirtualDesktop::waitUntil([&] { return watcher("IsStatusNotifierHostRegistered").find("true") != std::string::npos; },
            milliseconds(10000)))
            << desktop->log();

        setenv("QT_QPA_PLATFORM", "xcb", 1);
        application = std::make_unique<QApplication>(argc, argv);
        rig.installSet("classic", { TintraSoundID::login, TintraSoundID("mnuo") });
        controller.reloadLibrary();
        controller.start();
        menuBar = std::make_unique<TintraMenuBar>(controller, *rig.silence,
            TintraMenuBar::Shell { .canCheckForUpdates = canCheckForUpdates,
                .checkForUpdates = [] {},
                .openSettings = [] {},
                .quit = [] {},
                .isAccessibilityTrusted = [] { return true; },
                .isSandboxed = false,
                .readMe = {},
                .openDocument = {} });
        ASSERT_TRUE(runUntil([&] { return !item().empty(); }, milliseconds(10000))) << desktop->log();
    }
    void TearDown() override
    {
        menuBar.reset();
        application.reset();
        host.stop();
        desktop.reset();
    }

    std::string watcher(const std::string& property) const
    {
        return desktop->capture("gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher "
                                "-m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "
            + property);
    }
    // A D-Bus call answered by this process: the shell command runs beside the event loop.
    std::string ask(const std::string& command)
    {
        auto answer = std::async(std::launch::async, [this, command] { return desktop->capture(command); });
        runUntil([&] { return answer.wait_for(milliseconds(0)) == std::future_status::ready; }, milliseconds(20000));
        return answer.get();
    }
    // "BUS-NAME/PATH" of the registered item, or nothing yet.
    std::string item()
    {
        const auto registered = ask("gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher "
                                    "-m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "
                                    "RegisteredStatusNotifierItems");
        std::smatch found;
        if (!std::regex_search(registered, found, std::regex("'(:[0-9.]+)(/[^']*)'")))
            return {};
        busName = found[1];
        path = found[2];
        return busName + path;
    }
    std::string itemProperties()
    {
        return ask("gdbus call --session -d " + busName + " -o " + path
            + " -m org.freedesktop.DBus.Properties.GetAll org.kde.StatusNotifierItem");
    }
    // The menu's rows as the panel reads them: id and properties, top to bottom.
    std::vector<std::pair<int, std::string>> menuRows()
    {
        const auto layout = ask("gdbus call --session -d " + busName
            + " -o /MenuBar -m com.canonical.dbusmenu.GetLayout -- 0 -1 '[]'");
        std::vector<std::pair<int, std::string>> rows;
        const std::regex row("<\\(([0-9]+), \\{([^{}]*)\\}");
        for (auto at = std::sregex_iterator(layout.begin(), layout.end(), row); at != std::sregex_iterator(); ++at)
            rows.emplace_back(std::stoi((*at)[1]), (*at)[2]);
        return rows;
    }
    static std::string labelOf(const std::string& properties)
    {
        std::smatch found;
        if (std::regex_search(properties, found, std::regex("'label': <'([^']*)'>")))
            return found[1];
        return properties.find("'separator'") != std::string::npos ? "—" : "";
    }
    int idOf(const std::string& label)
    {
        for (const auto& [id, properties] : menuRows()) {
            if (labelOf(properties) == label)
                return id;
        }
        return -1;
    }
    static bool runUntil(const std::function<bool()>& done, milliseconds limit)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() >= limit.count())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
        }
        return true;
    }

    static inline int argc = 1;
    static inline char name[] = "tintra_tray_desktop_tests";
    static inline char* argv[] = { name, nullptr };
    std::unique_ptr<VirtualDesktop> desktop;
    ChildProcess host;
    std::unique_ptr<QApplication> application;
    testing::ControllerRig rig;
    TintraController& controller = rig.make();
    Observable<bool> canCheckForUpdates { true };
    std::unique_ptr<TintraMenuBar> menuBar;
    std::string busName;
    std::string path;
};

TEST_F(MenuBarDesktop, TheItemRegistersWithTheAccessibleLabelAsItsToolTipAndItsMenuInOrder)
{
    EXPECT_NE(itemProperties().find("Tintra Dorvel, playing sounds"), std::string::npos) << itemProperties();

    std::vector<std::string> labels;
    for (const auto& [id, properties] : menuRows()) {
        if (properties.find("'visible': <false>") == std::string::npos)
            labels.push_back(labelOf(properties));
    }
    EXPECT_EQ(labels, (std::vector<std::string> { "2 events will play", "—",
                          "Play Sounds for Accessibility Notifications", "Play Sounds for Clicks",
                          "Play Sounds for Key Presses", "Test Sound", "—", "Settings", "Check for Updates…", "—",
                          "Quit Tintra Dorvel" }))
        << desktop->log();
}

TEST_F(MenuBarDesktop, ClickingASwitchInThePanelsMenuFlipsTheControllersSwitch)
{
    const bool before = controller.playsClickSounds().get();
    const int clicks = idOf("Play Sounds for Clicks");
    ASSERT_GE(clicks, 0) << desktop->log();
    ask("gdbus call --session -d " + busName + " -o /MenuBar -m com.canonical.dbusmenu.Event -- "
        + std::to_string(clicks) + " clicked '<int32 0>' 0");
    EXPECT_TRUE(runUntil([&] { return controller.playsClickSounds().get() != before; }, milliseconds(10000)));

    const auto layout = menuRows();
    std::map<int, std::string> rows(layout.begin(), layout.end());
    const auto state = std::string("'toggle-state': <") + (before ? "0" : "1") + ">";
    EXPECT_NE(rows[clicks].find(state), std::string::npos) << rows[clicks];
}

TEST_F(MenuBarDesktop, TheSpeakerChangesItsPictureAndLabelWhenSoundsAreSwitchedOff)
{
    const auto audible = itemProperties();
    controller.setPlaysNotificationSounds(false);
    std::string silent;
    EXPECT_TRUE(runUntil([&] {
        silent = itemProperties();
        return silent.find("Tintra Dorvel, silent: Sounds are switched off") != std::string::npos;
    }, milliseconds(10000))) << silent;

    // Qt hands the panel the icon's pixels, not a name.
    const auto picture = [](const std::string& properties) {
        const auto start = properties.find("'IconPixmap': <");
        return start == std::string::npos ? std::string() : properties.substr(start, properties.find('>', start) - start);
    };
    EXPECT_FALSE(picture(audible).empty()) << audible;
    EXPECT_NE(picture(audible), picture(silent));
}

} // namespace
} // namespace tintra
