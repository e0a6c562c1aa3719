#include "app/ActivationPolicy.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace tintra {

namespace {

bool isTitled(const QWidget& window)
{
    const auto type = window.windowType();
    return (type == Qt::Window || type == Qt::Dialog) && !window.windowFlags().testFlag(Qt::FramelessWindowHint);
}

} // namespace

void TintraActivationPolicy::start()
{
    if (isStarted_)
        return;
    isStarted_ = true;
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
    update();
}

bool TintraActivationPolicy::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Close:
    case QEvent::WindowStateChange:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() && !isUpdateScheduled_) {
            isUpdateScheduled_ = true;
            QTimer::singleShot(0, this, [this] {
                isUpdateScheduled_ = false;
                update();
            });
        }
        break;
    default:
        break;
    }
    return false;
}

bool TintraActivationPolicy::hasTitledWindow(bool countsMinimised)
{
    for (const auto* window : QApplication::topLevelWidgets())
        if (isTitled(*window) && window->isVisible() && (countsMinimised || !window->isMinimized()))
            return true;
    return false;
}

void TintraActivationPolicy::update()
{
    const auto wanted = hasTitledWindow(true) ? ActivationPolicy::regular : ActivationPolicy::accessory;
    if (wanted == policy_)
        return;
    policy_ = wanted;
    ++changeCount_;
}

} // namespace tintra
