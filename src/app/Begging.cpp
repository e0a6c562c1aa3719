#include "app/Begging.h"

#include "app/TextWindow.h"

namespace tintra {

TintraBegging::TintraBegging(Defaults& defaults, MainExecutor& executor)
    : defaults_(defaults)
    , executor_(executor)
{
}

void TintraBegging::noteLaunch(bool bundleIsOnReadOnlyVolume, const ProcessEnvironment& environment)
{
    if (hasNotedLaunch_ || TintraRelocation::isUnderTest(environment) || bundleIsOnReadOnlyVolume)
        return;
    hasNotedLaunch_ = true;
    const auto count = defaults_.integerForKey(launchCountKey, 0) + 1;
    defaults_.set(launchCountKey, count);
    if (count == 2 || count == 9 || count == 13)
        executor_.post([this] { show(); });
}

void TintraBegging::show()
{
    if (window_) {
        bringToFront(*window_);
        return;
    }
    const auto html = resourceText(QStringLiteral(":/tintra-dorvel/Begging.html"));
    if (html.isEmpty())
        return;
    auto made = makeTextWindow(QStringLiteral("Tintra Dorvel Beta"), html, 440, 560);
    made.window->resize(480, made.textHeight);
    made.window->setMinimumSize(320, 160);
    window_ = std::move(made.window);
    bringToFront(*window_);
}

} // namespace tintra
