#pragma once

#include "app/Relocation.h"
#include "support/Defaults.h"
#include "support/MainExecutor.h"

#include <QWidget>

#include <memory>
#include <string_view>

namespace tintra {

// The beta notice: counts launches and shows "Tintra Dorvel Beta" on the
// 2nd, 9th and 13th, never for a test run or a copy on a read-only volume.
// Main thread only.
class TintraBegging {
public:
    static constexpr std::string_view launchCountKey = "TintraDorvelLaunchCount";

    TintraBegging(Defaults& defaults, MainExecutor& executor);

    void noteLaunch(bool bundleIsOnReadOnlyVolume, const ProcessEnvironment& environment);
    void show();

    QWidget* window() const { return window_.get(); }

private:
    Defaults& defaults_;
    MainExecutor& executor_;
    // Kept after it is closed, so that it can be shown again.
    std::unique_ptr<QWidget> window_;
    bool hasNotedLaunch_ = false;
};

} // namespace tintra
