#include "engine/Controller.h"

#include "catalogue/Catalogue.h"
#include "engine/SystemEvents.h"
#include "input/ClickResolver.h"
#include "support/Text.h"

#include <iostream>
#include <set>

namespace tintra {
namespace {

// A pre-release version: "1.2a1", "2.0b3", "3.0rc1".
bool isPrerelease(const std::string& shortVersion)
{
    const auto lowered = lowercased(shortVersion);
    return lowered.find('a') != std::string::npos || lowered.find('b') != std::string::npos
        || lowered.find("rc") != std::string::npos;
}

} // namespace

TintraController::TintraController(Environment environment, std::unique_ptr<TintraLibrary> library,
    std::unique_ptr<TintraAssignments> assignments, std::unique_ptr<TintraExclusions> exclusions, Defaults& defaults,
    TintraSilenceMonitor& silence)
    : environment_(std::move(environment))
    , library_(std::move(library))
    , assignments_(std::move(assignments))
    , exclusions_(std::move(exclusions))
    , defaults_(defaults)
    , silence_(silence)
    , sounds_(*assignments_, *library_)
    , silenceQuery_(silence)
    , mappings_(std::vector<TintraNotificationMapping>(
          defaultNotificationMappings().begin(), defaultNotificationMappings().end()))
{
    auto& accessibility = environment_.accessibility.get();
    auto& workspace = environment_.workspace.get();
    auto& inputEvents = environment_.inputEvents.get();
    const auto& clock = environment_.clock.get();

    log_ = std::make_unique<TintraSoundLog>(accessibility, clock, workspace);
    diskRegistry_ = std::make_unique<TintraDiskRegistry>(environment_.disks.get());
    player_ = std::make_unique<TintraPlayer>(sounds_, defaults_, silenceQuery_, environment_.audioOutput.get(),
        environment_.screens.get(), environment_.executor.get());
    inputWitness_ = std::make_unique<TintraInputWitness>(inputEvents);
    transfers_ = std::make_unique<TintraSoundSetTransfers>(*library_, *assignments_, environment_.executor.get(),
        environment_.background.get(), [this] { player_->invalidateAll(); });

    // The monitors are owned here and die before the parts they reach, so their callbacks may hold `this`.
    clickMonitor_ = std::make_unique<TintraClickMonitor>(
        inputEvents, clock, eventHandler(),
        [this] { return player_->isEnabled() && !silence_.currentReason(); },
        [this](Point point) {
            if (showsClickSparks_.get() && playsGenericClickSound_.get())
                environment_.sparks.get().spark(point);
        },
        std::make_unique<TintraClickResolver>(accessibility, workspace, exclusions_->exclusionTest()));
    keyPressMonitor_ = std::make_unique<TintraKeyPressMonitor>(
        inputEvents, workspace, environment_.keyboards.get(), clock, eventHandler(), exclusions_->exclusionTest());

    playsClickSounds_.set(defaults_.boolForKey(playsClickSoundsKey, true));
    applyPlaysGenericClickSound(defaults_.boolForKey(playsGenericClickSoundKey, true));
    playsKeyPressSounds_.set(defaults_.boolForKey(playsKeyPressSoundsKey, false));
    showsClickSparks_.set(defaults_.boolForKey(showsClickSparksKey, false));
    showsMenuBarItem_.set(defaults_.boolForKey(showsMenuBarItemKey, true));

    offersClickSparks_ = isPrerelease(environment_.shortVersion) || defaults_.boolForKey(showsClickSparksKey, false);

    silence_.setOnChange(self_.bind([](TintraController& self, std::optional<TintraSilenceReason> reason) {
        self.log_->noteSilence(reason, self.now());
    }));
}

TintraController::~TintraController() = default;

// --- Events

void TintraController::handle(const TintraEvent& event)
{
    if (isMonitoring_.get()) {
        std::cout << monitorEchoLine(event, player_->hasSound(event.soundID)) << std::endl;
        auto recent = recentEvents_.get();
        recent.push_back(event);
        if (recent.size() > maximumRecentEvents)
            recent.erase(recent.begin(), recent.end() - maximumRecentEvents);
        recentEvents_.set(std::move(recent));
    }
    if (player_->play(event.soundID, event.pan))
        log_->record(event, now());
}

TintraController::EventHandler TintraController::eventHandler() const
{
    return self_.bind([](TintraController& self, const TintraEvent& event) { self.handle(event); });
}

std::string monitorEchoLine(const TintraEvent& event, bool isPlayable)
{
    return "Tintra: " + event.notificationName + " -> " + event.soundID.description() + " ("
        + (isPlayable ? "plays" : "no sound assigned") + ") from "
        + event.applicationName.value_or("pid " + std::to_string(event.processIdentifier));
}

// --- Switches

void TintraController::setPlaysClickSounds(bool on)
{
    defaults_.set(playsClickSoundsKey, on);
    playsClickSounds_.set(on);
    updateClickMonitor();
}

void TintraController::setPlaysGenericClickSound(bool on)
{
    defaults_.set(playsGenericClickSoundKey, on);
    applyPlaysGenericClickSound(on);
}

void TintraController::setPlaysKeyPressSounds(bool on)
{
    defaults_.set(playsKeyPressSoundsKey, on);
    playsKeyPressSounds_.set(on);
    updateKeyPressMonitor();
}

void TintraController::setShowsClickSparks(bool on)
{
    defaults_.set(showsClickSparksKey, on);
    showsClickSparks_.set(on);
    if (!on)
        environment_.sparks.get().clearAll();
}

void TintraController::setShowsMenuBarItem(bool on)
{
    defaults_.set(showsMenuBarItemKey, on);
    showsMenuBarItem_.set(on);
}

void TintraController::applyPlaysGenericClickSound(bool on)
{
    playsGenericClickSound_.set(on);
    clickMonitor_->resolver().playsGenericClick = on;
}

void TintraController::updateClickMonitor()
{
    if (isRunning_.get() && playsClickSounds_.get())
        clickMonitor_->start();
    else
        clickMonitor_->stop();
    if (isRunning_.get())
        inputWitness_->start();
    else
        inputWitness_->stop();
}

void TintraController::updateKeyPressMonitor()
{
    if (isRunning_.get() && playsKeyPressSounds_.get())
        keyPressMonitor_->start();
    else
        keyPressMonitor_->stop();
}

// --- Lifecycle around the running state

void TintraController::startIfEnabled()
{
    if (defaults_.boolForKey(playsNotificationSoundsKey, false))
        start();
}

void TintraController::setPlaysNotificationSounds(bool on)
{
    defaults_.set(playsNotificationSoundsKey, on);
    if (on)
        start();
    else
        stop();
}

void TintraController::noteOpenedAtLogin()
{
    if (isRunning_.get())
        handle(sessionEvent("Logged In", TintraSoundID::login, "Opened at login", now()));
}

void TintraController::waitForLogoutSound(std::function<void()> completion)
{
    pollLogoutSound(environment_.clock.get().monotonicNow() + logoutSoundWait, std::move(completion));
}

void TintraController::pollLogoutSound(MonotonicTime deadline, std::function<void()> completion)
{
    if (player_->isPlaying(TintraSoundID::logout) && environment_.clock.get().monotonicNow() < deadline) {
        environment_.executor.get().schedule(logoutSoundPoll,
            self_.bind([deadline, completion](TintraController& self) { self.pollLogoutSound(deadline, completion); }));
        return;
    }
    completion();
}

std::optional<std::string> TintraController::problemDescription() const
{
    if (isSandboxed())
        return "The app is sandboxed, so it cannot observe other applications. Set ENABLE_APP_SANDBOX to NO and relaunch.";
    if (!environment_.accessibility.get().isProcessTrusted())
        return "Accessibility access has not been granted.";
    if (isRunning_.get() && observedApplicationCount_.get() > 0 && registeredNotificationCount_.get() == 0)
        return "Attached to " + std::to_string(observedApplicationCount_.get())
            + " applications but registered no notifications. Accessibility access was probably revoked; try Rescan Apps.";
    if (isRunning_.get() && playsClickSounds_.get() && clickMonitor_->monitors().empty())
        return "Clicks are switched on but no mouse monitor could be installed.";
    if (isRunning_.get() && playsKeyPressSounds_.get() && !keyPressMonitor_->monitor())
        return "Key presses are switched on but no keyboard monitor could be installed.";
    if (library_->bundles().get().empty())
        return "No sound sets installed. Open the Sound Sets tab to import one.";
    return std::nullopt;
}

bool TintraController::isSandboxed() const
{
    return environment_.homeDirectory.string().find("/Library/Containers/") != std::string::npos;
}

// --- Sound sets and exclusions

void TintraController::reloadLibrary()
{
    library_->reload();
    const auto& bundles = library_->bundles().get();
    std::set<std::string> identifiers;
    for (const auto& bundle : bundles)
        identifiers.insert(bundle.metadata().identifier);
    assignments_->pruneOverrides(identifiers);
    assignments_->refreshCustomSounds();
    chooseBaselineIfNone(*assignments_, *library_);
}

void TintraController::excludeApplication(const std::string& bundleIdentifier, std::optional<std::string> name)
{
    exclusions_->exclude(bundleIdentifier, std::move(name));
    stopObserving(bundleIdentifier);
}

tl::expected<void, TintraExclusionError> TintraController::excludeApplicationFile(const std::filesystem::path& file)
{
    const auto excluded = exclusions_->excludeApplication(file);
    if (!excluded)
        return tl::unexpected(excluded.error());
    stopObserving(*excluded);
    return {};
}

void TintraController::stopObserving(const std::string& bundleIdentifier)
{
    std::vector<std::int32_t> affected;
    for (const auto& [processIdentifier, observer] : observers_) {
        if (observer->bundleIdentifier() == bundleIdentifier)
            affected.push_back(processIdentifier);
    }
    for (auto processIdentifier : affected) {
        forgetObserver(processIdentifier);
        timeouts_.erase(processIdentifier);
    }
    recount();
    rebuildAfflictedApplications();
}

void TintraController::includeApplication(const std::string& bundleIdentifier)
{
    exclusions_->include(bundleIdentifier);
    attachAll();
    rebuildAfflictedApplications();
}

void TintraController::rebuildAfflictedApplications()
{
    auto& workspace = environment_.workspace.get();
    std::map<std::int32_t, int> counts;
    for (const auto& [processIdentifier, observer] : observers_)
        counts[processIdentifier] = static_cast<int>(observer->registeredRawNames().size());
    afflictedApplications_.set(buildAfflictedApplications(workspace.runningApplications(),
        workspace.hostProcessIdentifier(), counts, timeouts_, *exclusions_,
        [&workspace](std::string_view bundleIdentifier) -> std::optional<InstalledApplication> {
            auto url = workspace.urlForApplication(std::string(bundleIdentifier));
            if (!url)
                return std::nullopt;
            return InstalledApplication { *url, workspace.iconForFile(*url) };
        }));
}

} // namespace tintra
