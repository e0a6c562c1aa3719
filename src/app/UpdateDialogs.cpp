#include "app/UpdateDialogs.h"

#include "app/TextWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tintra {
namespace {

QString qText(const std::string& text)
{
    return QString::fromStdString(text);
}

// A message that closes itself and never blocks the main loop.
void showMessage(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAccessibleName(title);
    bringToFront(*box);
}

} // namespace

TintraUpdateDialogs::TintraUpdateDialogs(UpdateFeed& feed, Desktop desktop)
    : feed_(feed)
    , desktop_(std::move(desktop))
{
}

bool TintraUpdateDialogs::isApplicationActive() const
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void TintraUpdateDialogs::showUpdate(const TintraAppcastItem& update)
{
    if (!window_)
        build();
    // The file already fetched for this version stays on offer.
    if (update.version != update_.version) {
        downloaded_.clear();
        status_->clear();
    }
    update_ = update;
    versions_->setText(qText("Tintra Dorvel " + update.displayVersion + " is now available—you have "
        + desktop_.currentVersion + ". Would you like to download it now?"));
    if (!update.releaseNotesHTML.empty())
        notes_->setHtml(qText(update.releaseNotesHTML));
    else if (!update.releaseNotesURL.empty())
        notes_->setHtml(QStringLiteral("<a href=\"%1\">Read the release notes</a>").arg(qText(update.releaseNotesURL).toHtmlEscaped()));
    else
        notes_->setPlainText(QStringLiteral("No release notes were given."));
    download_->setEnabled(true);
    reveal_->setVisible(!downloaded_.empty());
    bringToFront(*window_);
}

void TintraUpdateDialogs::showUpToDate()
{
    showMessage(QMessageBox::Information, QStringLiteral("You’re up to date!"),
        qText("Tintra Dorvel " + desktop_.currentVersion + " is currently the newest version available."));
}

void TintraUpdateDialogs::showUpdateError(const std::string& message)
{
    showMessage(QMessageBox::Warning, QStringLiteral("Update Error!"), qText(message));
}

void TintraUpdateDialogs::build()
{
    window_ = std::make_unique<QWidget>(nullptr, Qt::Window);
    window_->setWindowTitle(QStringLiteral("Software Update"));
    window_->setAccessibleName(QStringLiteral("Software Update"));
    window_->resize(520, 400);
    auto* layout = new QVBoxLayout(window_.get());
    headline_ = new QLabel(QStringLiteral("A new version of Tintra Dorvel is available!"));
    auto font = headline_->font();
    font.setBold(true);
    headline_->setFont(font);
    versions_ = new QLabel;
    versions_->setWordWrap(true);
    notes_ = new QTextBrowser;
    notes_->setOpenExternalLinks(true);
    notes_->setAccessibleName(QStringLiteral("Release Notes"));
    status_ = new QLabel;
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* later = new QPushButton(QStringLiteral("Remind Me Later"));
    reveal_ = new QPushButton(QStringLiteral("Show in Folder"));
    download_ = new QPushButton(QStringLiteral("Download"));
    download_->setDefault(true);
    QObject::connect(later, &QPushButton::clicked, window_.get(), &QWidget::close);
    QObject::connect(reveal_, &QPushButton::clicked, window_.get(), [this] {
        if (desktop_.revealFile && !downloaded_.empty())
            desktop_.revealFile(downloaded_);
    });
    QObject::connect(download_, &QPushButton::clicked, window_.get(), [this] { download(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(later);
    buttons->addStretch();
    buttons->addWidget(reveal_);
    buttons->addWidget(download_);
    layout->addWidget(headline_);
    layout->addWidget(versions_);
    layout->addWidget(new QLabel(QStringLiteral("Release Notes:")));
    layout->addWidget(notes_, 1);
    layout->addWidget(status_);
    layout->addLayout(buttons);
}

void TintraUpdateDialogs::download()
{
    download_->setEnabled(false);
    reveal_->hide();
    status_->setText(QStringLiteral("Downloading…"));
    feed_.download(update_, desktop_.downloadFolder,
        weakSelf_.bind([](TintraUpdateDialogs& self, UpdateFeed::Download placed) { self.finishDownload(std::move(placed)); }));
}

void TintraUpdateDialogs::finishDownload(UpdateFeed::Download placed)
{
    download_->setEnabled(true);
    if (!placed) {
        status_->setText(qText(placed.error()));
        return;
    }
    downloaded_ = *placed;
    status_->setText(qText("Downloaded and verified: " + placed->string()
        + ". Quit Tintra Dorvel and start the new version from there."));
    reveal_->show();
    if (desktop_.revealFile)
        desktop_.revealFile(downloaded_);
}

} // namespace tintra
