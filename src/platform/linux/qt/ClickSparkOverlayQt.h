#pragma once

#include "platform/linux/qt/ClickSparkRenderer.h"
#include "platform/linux/qt/ClickSparkView.h"
#include "platform/linux/qt/CompositingManagerX11.h"
#include "sparks/ClickSparkOverlay.h"

#include <QObject>

#include <map>
#include <memory>
#include <optional>

class QScreen;

namespace tintra {

// Sparks on every screen through one transparent, click-through OpenGL window
// per screen, made on the first spark there, shown while its sparks live and
// closed when its screen goes away. Points are in X root pixels, the space of
// the click monitor. Main thread only; needs a QGuiApplication.
//
// Failures are said once: without an OpenGL renderer (the renderer says why)
// or, on X11, without a compositing manager (a transparent window would show
// black) no window is ever shown; a manager that starts later is used from
// the next click on.
class ClickSparkOverlayQt final : public TintraClickSparkOverlay {
public:
    ClickSparkOverlayQt();
    ~ClickSparkOverlayQt() override;
    ClickSparkOverlayQt(const ClickSparkOverlayQt&) = delete;
    ClickSparkOverlayQt& operator=(const ClickSparkOverlayQt&) = delete;

    void spark(Point at) override;
    void clearAll() override;

    // The window of a screen that has sparked, if it is still open.
    const TintraClickSparkView* view(const QScreen* screen) const;

private:
    struct Display {
        std::unique_ptr<TintraClickSparkView> view;
    };

    TintraClickSparkRenderer* renderer();
    bool canShowTransparentWindows();
    Display& display(QScreen* screen);
    void fitToScreen(TintraClickSparkView& view, const QScreen& screen);
    void forget(QScreen* screen);

    // Declared before the displays so that their windows go first.
    std::optional<std::unique_ptr<TintraClickSparkRenderer>> renderer_;
    std::optional<CompositingManagerX11> compositor_;
    bool saidNoCompositor_ = false;
    std::map<const QScreen*, Display> displays_;
    QObject screenObservation_;
};

} // namespace tintra
