#pragma once

#include "sparks/ClickSparkField.h"
#include "support/Geometry.h"

#include <QWindow>

#include <functional>

class QScreen;

namespace tintra {

class TintraClickSparkRenderer;

// The transparent, click-through window over one screen, running that
// screen's spark field. Its frame loop asks for window updates only while
// sparks live and measures each step on the monotonic clock (the refresh
// rate is not to be trusted: Xvfb, for one, does not throttle). Main thread only.
class TintraClickSparkView final : public QWindow {
public:
    TintraClickSparkView(TintraClickSparkRenderer& renderer, QScreen* screen);

    // Bursts at `at`, in points from the screen's top-left, and runs the loop.
    void burst(Point at);
    // Empties the field, stops the loop and leaves an empty frame behind.
    void clear();

    const TintraClickSparkField& field() const { return field_; }
    bool isRunning() const { return running_; }

    // Called when the field runs empty.
    std::function<void()> onIdle;

protected:
    bool event(QEvent* event) override;

private:
    void step();
    void pause();
    double frameDuration() const;

    TintraClickSparkRenderer& renderer_;
    TintraClickSparkField field_;
    bool running_ = false;
    double lastTimestamp_ = 0;
};

} // namespace tintra
