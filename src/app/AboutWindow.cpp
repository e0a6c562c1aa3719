#include "app/AboutWindow.h"

#include "app/TextWindow.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tintra {

std::optional<QString> TintraAboutWindow::versionLine(const QString& shortVersion, const QString& build)
{
    if (shortVersion.isEmpty())
        return std::nullopt;
    return build.isEmpty() ? shortVersion : shortVersion + QStringLiteral(" (") + build + QStringLiteral(")");
}

void TintraAboutWindow::show()
{
    if (window_) {
        bringToFront(*window_);
        return;
    }
    const auto html = resourceText(QStringLiteral(":/tintra-dorvel/About.html"));
    if (html.isEmpty()) {
        QMessageBox::about(nullptr, QStringLiteral("About Tintra Dorvel"), QApplication::applicationDisplayName());
        return;
    }
    auto made = makeTextWindow(QStringLiteral("About Tintra Dorvel"), html, 280, 540);
    auto* layout = static_cast<QVBoxLayout*>(made.window->layout());
    if (const auto line = versionLine(QApplication::applicationVersion(), QStringLiteral(TINTRA_BUILD_NUMBER))) {
        auto* separator = new QFrame(made.window.get());
        separator->setFrameShape(QFrame::HLine);
        separator->setFrameShadow(QFrame::Sunken);
        auto* version = new QLabel(*line, made.window.get());
        version->setAlignment(Qt::AlignCenter);
        version->setForegroundRole(QPalette::PlaceholderText);
        auto font = version->font();
        font.setPointSizeF(font.pointSizeF() * 0.85);
        version->setFont(font);
        version->setAccessibleName(QStringLiteral("Version ") + *line);
        layout->addWidget(separator);
        layout->addWidget(version);
        layout->addSpacing(6);
    }
    made.window->resize(320, made.textHeight + 32);
    made.window->setMinimumSize(320, 192);
    window_ = std::move(made.window);
    bringToFront(*window_);
}

} // namespace tintra
