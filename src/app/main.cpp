#include "app/Program.h"
#include "platform/linux/dbus/SingleInstanceDBus.h"

#include <QApplication>
#include <QCommandLineParser>

#include <glib-unix.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace tintra;

bool canOpenX11Display()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool opened = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return opened;
}

// A session that ends, or a kill, asks the program to quit as the Quit item does.
void quitOnSignals(TintraProgram& program)
{
    for (const int signal : { SIGTERM, SIGINT, SIGHUP })
        g_unix_signal_add(signal, [](gpointer program) -> gboolean {
            static_cast<TintraProgram*>(program)->quit();
            return G_SOURCE_CONTINUE;
        }, &program);
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
    const std::string applicationID = TINTRA_MAKER_PREFIX ".TintraDorvel";
    QApplication::setDesktopFileName(QString::fromStdString(applicationID));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("The sound of a classic theme for the whole desktop."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption openedAtLogin(QStringLiteral("opened-at-login"),
        QStringLiteral("Started by the autostart entry: sound the login."));
    options.addOption(openedAtLogin);
    options.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Classic sound-set files or sound sets to import."));
    options.process(application);
    std::vector<std::filesystem::path> files;
    for (const auto& file : options.positionalArguments())
        files.emplace_back(std::filesystem::absolute(file.toStdString()));

    // The bus's requests are served from the main loop, so only once the program below exists.
    TintraProgram* running = nullptr;
    SingleInstanceDBus instance(applicationID,
        { .openSettings = [&running] { running->reopen(); },
            .openFiles = [&running](std::vector<std::filesystem::path> files) { running->open(std::move(files)); },
            .actions = { { "copy-report", [&running] { running->copyReport(); } },
                { "quit", [&running] { running->quit(); } } } });
    switch (instance.claim(files)) {
    case SingleInstanceDBus::Claim::handedOver:
        return 0;
    case SingleInstanceDBus::Claim::handOverFailed:
        return 1;
    case SingleInstanceDBus::Claim::first:
    case SingleInstanceDBus::Claim::noSessionBus:
        break;
    }

    TintraProgram program;
    running = &program;
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [&program] { program.willTerminate(); });
    quitOnSignals(program);
    if (!program.launch(options.isSet(openedAtLogin), std::move(files)))
        return 0;
    return QApplication::exec();
}
