#pragma once

#include "workspace/RunningApplication.h"

#include <QObject>

namespace tintra {

// Whether the program stands among the user's applications: regular while
// one of its titled windows is visible or minimised, an accessory otherwise.
// On X11 the taskbar lists exactly the titled windows, so what is left to do
// here is to keep the program running when its last window closes and to
// know, when the user opens it again, whether a window is already there. Any
// burst of window changes is folded into one update. Main thread only.
class TintraActivationPolicy final : public QObject {
public:
    void start();
    void update();

    // Whether one of the program's titled windows is on screen (or, when asked, minimised).
    static bool hasTitledWindow(bool countsMinimised);

    ActivationPolicy policy() const { return policy_; }
    int changeCount() const { return changeCount_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isStarted_ = false;
    bool isUpdateScheduled_ = false;
    ActivationPolicy policy_ = ActivationPolicy::accessory;
    int changeCount_ = 0;
};

} // namespace tintra
