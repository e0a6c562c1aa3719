#include "ui/SettingsWidgets.h"

#include "ui/Binding.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGroupBox>
#include <QPainter>
#include <QUrl>

namespace tintra {

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void showFolder(const TintraSettingsShell& shell, const std::filesystem::path& folder)
{
    if (shell.revealFolder)
        shell.revealFolder(folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}

QCheckBox& addSwitch(QWidget& owner, QBoxLayout& layout, const std::string& title, const Observable<bool>& value,
    std::function<void(bool)> set, const std::string& help)
{
    auto* box = new QCheckBox(qText(title), &owner);
    layout.addWidget(box);
    if (!help.empty()) {
        box->setToolTip(qText(help));
        box->setAccessibleDescription(qText(help));
        addNote(layout, help);
    }
    bindValue(*box, value, [box](bool on) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    });
    QObject::connect(box, &QCheckBox::toggled, box, [box, &value, set = std::move(set)](bool on) {
        set(on);
        // A switch that was refused shows the real state again.
        if (value.get() != on) {
            const QSignalBlocker quiet(box);
            box->setChecked(value.get());
        }
    });
    return *box;
}

QLabel& addNote(QBoxLayout& layout, const std::string& text)
{
    auto* note = new QLabel(qText(text));
    note->setWordWrap(true);
    note->setForegroundRole(QPalette::PlaceholderText);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout.addWidget(note);
    return *note;
}

QVBoxLayout& addSection(QBoxLayout& layout, const QString& title)
{
    auto* group = new QGroupBox(title);
    auto* inner = new QVBoxLayout(group);
    layout.addWidget(group);
    return *inner;
}

void showStatus(QLabel& label, const TintraStatusText& status)
{
    label.setText(qText(status.text));
    QPalette palette = QApplication::palette();
    if (status.tone == TintraStatusText::Tone::warning)
        palette.setColor(QPalette::WindowText, QColor(0xd9, 0x6c, 0x00));
    else
        palette.setColor(QPalette::WindowText, palette.color(QPalette::PlaceholderText));
    label.setPalette(palette);
}

QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(name, QApplication::style()->standardIcon(fallback));
}

QIcon tinted(const QIcon& icon, const QColor& colour)
{
    QPixmap pixmap = icon.pixmap(32, 32);
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), colour);
    painter.end();
    return QIcon(pixmap);
}

} // namespace tintra
