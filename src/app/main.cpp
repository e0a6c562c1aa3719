#include "app/AppDelegate.h"
#include "app/Composition.h"
#include "app/RelocationAlerts.h"
#include "app/RunningCopy.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "ui/MenuBar.h"
#include "ui/Sandbox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QUrl>

#include <glib-unix.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace {

using namespace tintra;

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

// A session that ends, or a kill, asks the program to quit as the Quit item does.
void quitOnSignals(AppDelegate& delegate)
{
    for (const int signal : { SIGTERM, SIGINT, SIGHUP })
        g_unix_signal_add(signal, [](gpointer delegate) -> gboolean {
            static_cast<AppDelegate*>(delegate)->applicationShouldTerminate();
            return G_SOURCE_CONTINUE;
        }, &delegate);
}

bool canOpenX11Display()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opened = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return opened;
}

} // namespace

int main(int argc, char** argv)
{
    // The desktop layer speaks X11, under Wayland through Xwayland; without a display Qt
    // would abort, so a start from a console gets a sentence instead. A platform chosen
    // by the caller (the tests' offscreen one) is theirs.
    const bool platformChosen = std::getenv("QT_QPA_PLATFORM");
    if (!platformChosen) {
        if (!canOpenX11Display()) {
            std::fprintf(stderr, "Tintra Dorvel needs a desktop session: no X display could be opened.\n");
            return 1;
        }
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    QApplication application(argc, argv);
    // Not handed down to what the program starts, such as a document's viewer.
    if (!platformChosen)
        unsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("tintra-dorvel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tintra Dorvel"));
    QApplication::setApplicationVersion(QStringLiteral(TINTRA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(TINTRA_MAKER_PREFIX ".TintraDorvel"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("The sound of a classic theme for the whole desktop."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption openedAtLogin(QStringLiteral("opened-at-login"),
        QStringLiteral("Started by the autostart entry: sound the login."));
    options.addOption(openedAtLogin);
    options.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Classic sound-set files or sound sets to import."));
    options.process(application);

    const auto environment = processEnvironment();
    const auto folders = relocationFolders();
    const auto copy = runningCopy(std::filesystem::read_symlink("/proc/self/exe"), environment, folders);

    TintraComposition composition;
    TintraRelocation relocation(folders, relocationDesktop(), [&copy](const std::filesystem::path&) { return copy.location; });
    TintraBegging begging(composition.defaults(), composition.executor());
    AppDelegate delegate(composition.controller(), composition.silence(), relocation, begging,
        { .startUpdater = {}, .openSettings = {}, .quit = [] { QCoreApplication::quit(); } });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [&delegate] { delegate.applicationWillTerminate(); });
    quitOnSignals(delegate);

    Observable<bool> canCheckForUpdates { false };
    const auto data = standardProgramDataDirectory();
    TintraMenuBar menuBar(composition.controller(), composition.silence(),
        { .canCheckForUpdates = canCheckForUpdates,
            .checkForUpdates = {},
            .openSettings = {},
            .quit = [&delegate] { delegate.applicationShouldTerminate(); },
            .isAccessibilityTrusted = [&composition] { return composition.accessibility().isProcessTrusted(); },
            .isSandboxed = isSandboxed(homeFolder()),
            .readMe = data ? *data / "Tintra Dorvel ReadMe.html" : std::filesystem::path(),
            .openDocument = [](const std::filesystem::path& document) {
                QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(document.string())));
            } });

    if (!delegate.applicationDidFinishLaunching({ .openedAtLogin = options.isSet(openedAtLogin),
            .bundleURL = copy.bundleURL, .bundleIsOnReadOnlyVolume = copy.isOnReadOnlyVolume, .environment = environment }))
        return 0;
    std::vector<std::filesystem::path> files;
    for (const auto& file : options.positionalArguments())
        files.emplace_back(std::filesystem::absolute(file.toStdString()));
    delegate.applicationOpen(std::move(files));
    return QApplication::exec();
}
