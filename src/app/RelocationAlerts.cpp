#include "app/RelocationAlerts.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

namespace fs = std::filesystem;

namespace tintra {

namespace {

bool ask(const TintraRelocationAlert& alert)
{
    QMessageBox box(alert.style == TintraRelocationAlert::Style::warning ? QMessageBox::Warning : QMessageBox::Information,
        QStringLiteral("Tintra Dorvel"), QString::fromStdString(alert.message));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    QAbstractButton* first = nullptr;
    for (const auto& title : alert.buttons) {
        auto* button = box.addButton(QString::fromStdString(title),
            first ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (!first) {
            first = button;
            box.setDefaultButton(button);
        } else {
            box.setEscapeButton(button);
        }
    }
    box.exec();
    return box.clickedButton() == first;
}

// An AppImage is itself the program; an install prefix holds it in bin/.
tl::expected<void, std::string> launch(const fs::path& copy)
{
    const auto program = fs::is_directory(copy) ? copy / "bin" / "tintra-dorvel" : copy;
    if (!QProcess::startDetached(QString::fromStdString(program.string()), {}))
        return tl::unexpected("The copy at " + program.string() + " did not start.");
    return {};
}

} // namespace

TintraRelocation::Desktop relocationDesktop()
{
    return { .ask = ask, .activate = [] {}, .launch = launch, .quit = [] { QCoreApplication::exit(0); } };
}

} // namespace tintra
