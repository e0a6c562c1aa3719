#pragma once

#include <QString>

#include <memory>

class QTextBrowser;
class QWidget;

namespace tintra {

// A titled, closable, resizable window around a read-only, scrolling rich
// text (links open in the desktop's browser), sized to its text: the text's
// height at `measureWidth`, rounded up, plus 40, at most `maximumHeight`.
struct TextWindow {
    std::unique_ptr<QWidget> window;
    QTextBrowser* text = nullptr;
    int textHeight = 0;
};
TextWindow makeTextWindow(const QString& title, const QString& html, int measureWidth, int maximumHeight);

// The HTML of a resource compiled into the program; empty when it is missing.
QString resourceText(const QString& path);

// Shows a window and makes it the active one.
void bringToFront(QWidget& window);

} // namespace tintra
