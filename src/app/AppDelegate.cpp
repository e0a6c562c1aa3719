#include "app/AppDelegate.h"

#include "catalogue/Catalogue.h"

namespace tintra {

AppDelegate::AppDelegate(TintraController& tintra, TintraSilenceMonitor& silence, TintraRelocation& relocation,
    TintraBegging& begging, Shell shell)
    : tintra_(tintra)
    , silence_(silence)
    , relocation_(relocation)
    , begging_(begging)
    , shell_(std::move(shell))
{
}

bool AppDelegate::applicationDidFinishLaunching(const Launch& launch)
{
    if (relocation_.relocateIfNeeded(false, launch.bundleURL, launch.environment))
        return false;
    activationPolicy_.start();
    chooseBaselineIfNone(tintra_.assignments(), tintra_.library());
    tintra_.player().invalidateAll();
    if (shell_.startUpdater)
        shell_.startUpdater();
    begging_.noteLaunch(launch.bundleIsOnReadOnlyVolume, launch.environment);
    tintra_.startIfEnabled();
    if (silence_.isEnabled(TintraSilenceReason::focus))
        silence_.probe().requestFocusAccessIfUndetermined();
    if (launch.openedAtLogin)
        tintra_.noteOpenedAtLogin();
    return true;
}

void AppDelegate::applicationShouldHandleReopen()
{
    if (!TintraActivationPolicy::hasTitledWindow(false) && shell_.openSettings)
        shell_.openSettings();
}

void AppDelegate::applicationOpen(std::vector<std::filesystem::path> urls)
{
    if (!urls.empty())
        tintra_.transfers().importSets(std::move(urls));
}

void AppDelegate::applicationShouldTerminate()
{
    if (isTerminating_)
        return;
    isTerminating_ = true;
    if (tintra_.player().isPlaying(TintraSoundID::logout))
        tintra_.waitForLogoutSound([quit = shell_.quit] { quit(); });
    else
        shell_.quit();
}

void AppDelegate::applicationWillTerminate()
{
    tintra_.stop();
}

} // namespace tintra
