#include "platform/linux/qt/ClickSparkView.h"

#include "platform/linux/qt/ClickSparkRenderer.h"

#include <QEvent>
#include <QScreen>

#include <chrono>

namespace tintra {

namespace {

double monotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

TintraClickSparkView::TintraClickSparkView(TintraClickSparkRenderer& renderer, QScreen* screen)
    : renderer_(renderer)
{
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(renderer.format());
    setFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool | Qt::X11BypassWindowManagerHint
        | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
    setScreen(screen);
    setGeometry(screen->geometry());
}

void TintraClickSparkView::burst(Point at)
{
    field_.burst(at);
    if (running_)
        return;
    running_ = true;
    requestUpdate();
}

void TintraClickSparkView::clear()
{
    field_.clear();
    pause();
    renderer_.render(*this, field_.sparks);
}

bool TintraClickSparkView::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest) {
        if (running_)
            step();
        return true;
    }
    return QWindow::event(event);
}

void TintraClickSparkView::step()
{
    const double now = monotonicSeconds();
    const double dt = lastTimestamp_ > 0 ? now - lastTimestamp_ : frameDuration();
    lastTimestamp_ = now;
    field_.advance(dt);
    // A window not yet exposed misses this frame; the field moves on regardless.
    renderer_.render(*this, field_.sparks);
    if (!field_.isEmpty()) {
        requestUpdate();
        return;
    }
    pause();
    if (onIdle)
        onIdle();
}

void TintraClickSparkView::pause()
{
    running_ = false;
    lastTimestamp_ = 0;
}

double TintraClickSparkView::frameDuration() const
{
    const qreal rate = screen() ? screen()->refreshRate() : 0;
    return rate > 0 ? 1 / rate : 1.0 / 60;
}

} // namespace tintra
