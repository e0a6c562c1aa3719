#include "app/TextWindow.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>

namespace tintra {

TextWindow makeTextWindow(const QString& title, const QString& html, int measureWidth, int maximumHeight)
{
    QTextDocument measure;
    measure.setHtml(html);
    measure.setTextWidth(measureWidth);
    const int height = std::min(static_cast<int>(std::ceil(measure.size().height())) + 40, maximumHeight);

    auto window = std::make_unique<QWidget>(nullptr, Qt::Window);
    window->setWindowTitle(title);
    window->setAccessibleName(title);
    auto* text = new QTextBrowser(window.get());
    text->setHtml(html);
    text->setOpenExternalLinks(true);
    text->setReadOnly(true);
    text->setFrameShape(QFrame::NoFrame);
    text->setAccessibleName(title);
    text->document()->setDocumentMargin(20);
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(text);
    return { std::move(window), text, height };
}

QString resourceText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void bringToFront(QWidget& window)
{
    if (!window.isVisible() && window.screen()) {
        auto frame = window.frameGeometry();
        frame.moveCenter(window.screen()->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace tintra
