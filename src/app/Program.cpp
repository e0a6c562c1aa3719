#include "app/Program.h"

#include "app/BugReport.h"
#include "app/RelocationAlerts.h"
#include "platform/linux/dbus/FileManager.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "ui/Sandbox.h"
#include "ui/SoundLogTab.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

#include <cstdlib>

extern char** environ;

namespace tintra {

namespace {

ProcessEnvironment processEnvironment()
{
    ProcessEnvironment environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text(*entry);
        if (const auto equals = text.find('='); equals != std::string_view::npos)
            environment.emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return environment;
}

std::filesystem::path homeFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

// ~/Applications, as AppImages settle, then the user's data folder.
TintraRelocation::Folders relocationFolders()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    return { homeFolder() / "Applications",
        data && *data == '/' ? std::filesystem::path(data) : homeFolder() / ".local" / "share" };
}

// A package manager's copy lies in /usr, and /usr/local is the administrator's own.
std::optional<std::string> packageManagerReason(const std::filesystem::path& program)
{
    const auto path = program.lexically_normal().string();
    if (!path.starts_with("/usr/") || path.starts_with("/usr/local/"))
        return std::nullopt;
    return "Tintra Dorvel was installed by the system's package manager, so its updates come from there.";
}

std::filesystem::path downloadFolder()
{
    const auto folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return folder.isEmpty() ? homeFolder() / "Downloads" : std::filesystem::path(folder.toStdString());
}

void openDocument(const std::filesystem::path& document)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(document.string())));
}

} // namespace

TintraProgram::TintraProgram()
    : environment_(processEnvironment())
    , folders_(relocationFolders())
    , copy_(runningCopy(std::filesystem::read_symlink("/proc/self/exe"), environment_, folders_))
    , autostart_(copy_.program)
    // Not the read-only flag: a settled AppImage is mounted read-only while it runs, yet opens at login from where it lies.
    , loginItem_(autostart_, copy_.location == TintraBundleLocation::diskImage)
    , relocation_(folders_, relocationDesktop(), [this](const std::filesystem::path&) { return copy_.location; })
    , begging_(composition_.defaults(), composition_.executor())
    , updateFeed_(composition_.executor(), TINTRA_UPDATE_FEED_URL, TINTRA_UPDATE_PUBLIC_KEY)
    , updateDialogs_(updateFeed_,
          { .currentVersion = QCoreApplication::applicationVersion().toStdString(),
              .downloadFolder = downloadFolder(),
              .revealFile = revealInFileManager })
    , notifications_("Tintra Dorvel", "org.tintradorvel.TintraDorvel")
    , updater_(updateFeed_, updateDialogs_, notifications_, composition_.defaults(), composition_.executor(),
          SystemClock::shared(),
          { .version = QCoreApplication::applicationVersion().toStdString(),
              .feedURL = TINTRA_UPDATE_FEED_URL,
              .publicEDKey = TINTRA_UPDATE_PUBLIC_KEY,
              .cannotStartReason = packageManagerReason(copy_.program),
              .applicationName = "Tintra Dorvel" })
    , settings_(composition_.controller(), composition_.silence(), composition_.defaults(), composition_.executor(),
          { .isAccessibilityTrusted = [this] { return composition_.accessibility().isProcessTrusted(); },
              .requestAccessibility = [this] { composition_.accessibility().requestTrust(); },
              .about = [this] { about_.show(); },
              .reportBug = canReportBugs() ? std::function<void()>(reportBug) : std::function<void()>(),
              // The file manager through the desktop's own handler.
              .revealFolder = {},
              .loginItem = &loginItem_,
              .loginItemsFolder = autostart_.entry().parent_path(),
              .updater = &updater_ })
    , delegate_(composition_.controller(), composition_.silence(), relocation_, begging_,
          { .startUpdater = [this] { updater_.start(); },
              .openSettings = [this] { settings_.showAndRaise(); },
              .quit = [] { QCoreApplication::quit(); } })
    , menuBar_(composition_.controller(), composition_.silence(),
          { .canCheckForUpdates = updater_.canCheckForUpdates(),
              .checkForUpdates = [this] { updater_.checkForUpdates(); },
              .openSettings = [this] { settings_.showAndRaise(); },
              .quit = [this] { quit(); },
              .isAccessibilityTrusted = [this] { return composition_.accessibility().isProcessTrusted(); },
              .isSandboxed = isSandboxed(homeFolder()),
              .readMe = [] {
                  const auto data = standardProgramDataDirectory();
                  return data ? *data / "Tintra Dorvel ReadMe.html" : std::filesystem::path();
              }(),
              .openDocument = openDocument })
{
}

bool TintraProgram::launch(bool openedAtLogin, std::vector<std::filesystem::path> files)
{
    if (!delegate_.applicationDidFinishLaunching({ .openedAtLogin = openedAtLogin, .bundleURL = copy_.bundleURL,
            .bundleIsOnReadOnlyVolume = copy_.isOnReadOnlyVolume, .environment = environment_ }))
        return false;
    delegate_.applicationOpen(std::move(files));
    return true;
}

void TintraProgram::copyReport()
{
    settings_.soundLog().copyReport();
}

} // namespace tintra
