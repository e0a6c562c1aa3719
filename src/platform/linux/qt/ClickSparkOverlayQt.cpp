#include "platform/linux/qt/ClickSparkOverlayQt.h"

#include "support/MainThread.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

namespace tintra {

namespace {

// A screen's frame in X root pixels: Qt keeps screen origins as they are and
// divides only sizes by the device pixel ratio.
Rect nativeFrame(const QScreen& screen)
{
    const QRect frame = screen.geometry();
    const qreal ratio = screen.devicePixelRatio();
    return { static_cast<double>(frame.x()), static_cast<double>(frame.y()), frame.width() * ratio, frame.height() * ratio };
}

} // namespace

ClickSparkOverlayQt::ClickSparkOverlayQt()
{
    QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, &screenObservation_, [this](QScreen* screen) { forget(screen); });
}

ClickSparkOverlayQt::~ClickSparkOverlayQt() = default;

TintraClickSparkRenderer* ClickSparkOverlayQt::renderer()
{
    if (!renderer_)
        renderer_ = TintraClickSparkRenderer::make();
    return renderer_->get();
}

bool ClickSparkOverlayQt::canShowTransparentWindows()
{
    // Other platforms (Wayland) always composite.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    if (!compositor_)
        compositor_.emplace();
    if (compositor_->isRunning()) {
        saidNoCompositor_ = false;
        return true;
    }
    if (!saidNoCompositor_) {
        std::fputs("ClickSparkOverlayQt: no compositing manager, so clicks will not spark.\n", stdout);
        std::fflush(stdout);
        saidNoCompositor_ = true;
    }
    return false;
}

void ClickSparkOverlayQt::spark(Point at)
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!renderer())
        return;
    for (QScreen* screen : QGuiApplication::screens()) {
        const Rect frame = nativeFrame(*screen);
        if (!frame.contains(at))
            continue;
        if (!canShowTransparentWindows())
            return;
        TintraClickSparkView& view = *display(screen).view;
        if (!view.isVisible()) {
            view.show();
            view.raise();
        }
        const qreal ratio = screen->devicePixelRatio();
        view.burst({ (at.x - frame.x) / ratio, (at.y - frame.y) / ratio });
        return;
    }
}

void ClickSparkOverlayQt::clearAll()
{
    TINTRA_ASSERT_MAIN_THREAD();
    for (auto& [screen, display] : displays_) {
        display.view->clear();
        display.view->hide();
    }
}

const TintraClickSparkView* ClickSparkOverlayQt::view(const QScreen* screen) const
{
    const auto found = displays_.find(screen);
    return found == displays_.end() ? nullptr : found->second.view.get();
}

ClickSparkOverlayQt::Display& ClickSparkOverlayQt::display(QScreen* screen)
{
    auto found = displays_.find(screen);
    if (found != displays_.end()) {
        fitToScreen(*found->second.view, *screen);
        return found->second;
    }
    auto view = std::make_unique<TintraClickSparkView>(**renderer_, screen);
    TintraClickSparkView* window = view.get();
    window->onIdle = [window] { window->hide(); };
    QObject::connect(screen, &QScreen::geometryChanged, window, [this, window, screen] { fitToScreen(*window, *screen); });
    return displays_.emplace(screen, Display { std::move(view) }).first->second;
}

void ClickSparkOverlayQt::fitToScreen(TintraClickSparkView& view, const QScreen& screen)
{
    if (view.geometry() != screen.geometry())
        view.setGeometry(screen.geometry());
}

void ClickSparkOverlayQt::forget(QScreen* screen)
{
    const auto found = displays_.find(screen);
    if (found == displays_.end())
        return;
    found->second.view->close();
    displays_.erase(found);
}

} // namespace tintra
