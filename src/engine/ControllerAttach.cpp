#include "catalogue/ElementSnapshot.h"
#include "engine/Controller.h"
#include "engine/DiskEvents.h"
#include "engine/SystemEvents.h"

#include <algorithm>
#include <iostream>

namespace tintra {

// One attach pass: the candidates in order and how far it has come.
struct TintraController::AttachPass {
    std::vector<RunningApplication> candidates;
    std::size_t next = 0;
    bool isCancelled = false;
    ScheduledWork step;
};

void TintraController::start()
{
    if (isRunning_.get())
        return;
    isRunning_.set(true);
    installWorkspaceObservations();
    updateClickMonitor();
    updateKeyPressMonitor();
    observeOwnMenus();
    attachAll();
}

void TintraController::stop()
{
    if (!isRunning_.get())
        return;
    isRunning_.set(false);
    cancelAttachPass();
    isAttaching_.set(false);
    applicationsAttached_.set(0);
    applicationsToAttach_.set(0);

    workspaceObservations_.clear();
    runningApplicationsObservation_.cancel();

    updateClickMonitor();
    updateKeyPressMonitor();

    if (ownMenuObserver_) {
        ownMenuObserver_->detach();
        ownMenuObserver_.reset();
    }
    for (auto& [processIdentifier, observer] : observers_)
        observer->detach();
    observers_.clear();
    timeouts_.clear();
    observedApplicationCount_.set(0);
    registeredNotificationCount_.set(0);
    failedObserverCount_.set(0);

    player_->stopAll();
    environment_.sparks.get().clearAll();
    rebuildAfflictedApplications();
}

// --- Workspace

void TintraController::installWorkspaceObservations()
{
    if (!workspaceObservations_.empty())
        return;
    auto& workspace = environment_.workspace.get();
    diskRegistry_->registerMountedVolumes();
    watchedApplications_.clear();
    for (auto& application : workspace.runningApplications())
        watchedApplications_[application.processIdentifier] = application;
    runningApplicationsObservation_
        = workspace.observeRunningApplications(self_.bind([](TintraController& self) { self.runningApplicationsChanged(); }));

    const auto session = [this](WorkspaceNotification notification, const char* name, TintraSoundID soundID,
                             const char* text) {
        workspaceObservations_.push_back(environment_.workspace.get().observe(notification,
            self_.bind([name, soundID, text](TintraController& self, const VolumeNotification&) {
                self.handle(sessionEvent(name, soundID, text, self.now()));
            })));
    };
    for (auto notification : { WorkspaceNotification::didMount, WorkspaceNotification::didUnmount }) {
        workspaceObservations_.push_back(workspace.observe(notification,
            self_.bind([notification](TintraController& self, const VolumeNotification& volume) {
                self.volumeChanged(notification, volume);
            })));
    }
    session(WorkspaceNotification::willPowerOff, "Logging Out", TintraSoundID::logout,
        "Logging out, restarting, or shutting down");
    session(WorkspaceNotification::sessionDidResignActive, "Logging Out", TintraSoundID::logout,
        "Switched away from this user");
    session(WorkspaceNotification::sessionDidBecomeActive, "Logged In", TintraSoundID::login,
        "Switched back to this user");
}

void TintraController::volumeChanged(WorkspaceNotification notification, const VolumeNotification& volume)
{
    const auto event = notification == WorkspaceNotification::didMount ? volumeDidMount(*diskRegistry_, volume, now())
                                                                       : volumeDidUnmount(*diskRegistry_, volume, now());
    if (event)
        handle(*event);
}

void TintraController::runningApplicationsChanged()
{
    std::map<std::int32_t, RunningApplication> current;
    for (auto& application : environment_.workspace.get().runningApplications())
        current[application.processIdentifier] = application;
    std::vector<RunningApplication> quit;
    std::vector<RunningApplication> launched;
    for (const auto& [processIdentifier, application] : watchedApplications_) {
        if (!current.contains(processIdentifier))
            quit.push_back(application);
    }
    for (const auto& [processIdentifier, application] : current) {
        if (!watchedApplications_.contains(processIdentifier))
            launched.push_back(application);
    }
    watchedApplications_ = std::move(current);

    for (const auto& application : quit) {
        const auto processIdentifier = application.processIdentifier;
        timeouts_.erase(processIdentifier);
        forgetObserver(processIdentifier);
        recount();
        clickMonitor_->forgetProcess(processIdentifier);
        keyPressMonitor_->forgetProcess(processIdentifier);
        if (application.activationPolicy == ActivationPolicy::regular)
            handle(applicationQuitEvent(application, now()));
        log_->forgetProcess(processIdentifier);
        rebuildAfflictedApplications();
    }
    for (const auto& application : launched) {
        if (application.activationPolicy == ActivationPolicy::regular)
            handle(applicationLaunchedEvent(application, now()));
        attach(application);
        rebuildAfflictedApplications();
        scheduleLaunchRetry(application.processIdentifier, firstLaunchRetry);
    }
}

void TintraController::scheduleLaunchRetry(std::int32_t processIdentifier, Duration delay)
{
    environment_.executor.get().schedule(delay, self_.bind([processIdentifier, delay](TintraController& self) {
        self.retryLaunchAttach(processIdentifier, delay);
    }));
}

void TintraController::retryLaunchAttach(std::int32_t processIdentifier, Duration delay)
{
    if (!isRunning_.get() || hasRegisteredObserver(processIdentifier))
        return;
    const auto application = environment_.workspace.get().runningApplication(processIdentifier);
    if (!application || application->isTerminated)
        return;
    attach(*application);
    rebuildAfflictedApplications();
    if (delay < lastLaunchRetry)
        scheduleLaunchRetry(processIdentifier, delay * 2);
}

// --- Attaching

bool TintraController::isCandidate(const RunningApplication& application) const
{
    return application.processIdentifier >= 1
        && application.processIdentifier != environment_.workspace.get().hostProcessIdentifier()
        && !application.isTerminated && application.activationPolicy != ActivationPolicy::prohibited
        && !exclusions_->isExcluded(application.bundleIdentifier)
        && !hasRegisteredObserver(application.processIdentifier);
}

bool TintraController::hasRegisteredObserver(std::int32_t processIdentifier) const
{
    const auto found = observers_.find(processIdentifier);
    return found != observers_.end() && !found->second->registeredRawNames().empty();
}

void TintraController::attachAll()
{
    if (!isRunning_.get()) {
        isAttaching_.set(false);
        applicationsToAttach_.set(0);
        return;
    }
    cancelAttachPass();
    if (isSandboxed())
        std::cout << "TintraController: running sandboxed, so no other application can be observed. "
                     "ENABLE_APP_SANDBOX must be NO."
                  << std::endl;

    auto& workspace = environment_.workspace.get();
    auto pass = std::make_shared<AttachPass>();
    for (auto& application : workspace.runningApplications()) {
        if (isCandidate(application))
            pass->candidates.push_back(std::move(application));
    }
    const auto active = workspace.frontmostApplication();
    const auto rank = [&](const RunningApplication& application) {
        if (active && active->processIdentifier == application.processIdentifier)
            return 0;
        return application.activationPolicy == ActivationPolicy::regular ? 1 : 2;
    };
    std::stable_sort(pass->candidates.begin(), pass->candidates.end(),
        [&](const auto& a, const auto& b) { return rank(a) < rank(b); });

    applicationsAttached_.set(0);
    applicationsToAttach_.set(static_cast<int>(pass->candidates.size()));
    rebuildAfflictedApplications();
    if (pass->candidates.empty()) {
        isAttaching_.set(false);
        return;
    }
    isAttaching_.set(true);
    attachTask_ = pass;
    pass->step = environment_.executor.get().schedule(
        Duration::zero(), self_.bind([](TintraController& self) { self.continueAttachPass(); }));
}

void TintraController::cancelAttachPass()
{
    if (!attachTask_)
        return;
    attachTask_->isCancelled = true;
    attachTask_->step.cancel();
    attachTask_.reset();
}

void TintraController::continueAttachPass()
{
    if (!attachTask_ || attachTask_->isCancelled || !isRunning_.get())
        return;
    auto& pass = *attachTask_;
    if (pass.next == pass.candidates.size()) {
        finishAttachPass();
        return;
    }
    // Ask again: the application may have quit while earlier ones were attached.
    const auto application = environment_.workspace.get().runningApplication(pass.candidates[pass.next++].processIdentifier);
    if (application)
        attach(*application);
    applicationsAttached_.set(applicationsAttached_.get() + 1);
    pass.step = environment_.executor.get().schedule(
        attachPause, self_.bind([](TintraController& self) { self.continueAttachPass(); }));
}

void TintraController::finishAttachPass()
{
    attachTask_.reset();
    rebuildAfflictedApplications();
    if (observedApplicationCount_.get() >= 1 && registeredNotificationCount_.get() == 0)
        std::cout << "TintraController: attached to " << observedApplicationCount_.get()
                  << " applications but registered 0 notifications. Accessibility access is denied." << std::endl;
    isAttaching_.set(false);
}

void TintraController::attach(const RunningApplication& application)
{
    if (!isRunning_.get() || !isCandidate(application))
        return;
    const auto processIdentifier = application.processIdentifier;
    timeouts_.erase(processIdentifier);
    if (observers_.contains(processIdentifier)) {
        forgetObserver(processIdentifier);
        recount();
    }

    std::vector<TintraNotificationMapping> enabled;
    std::copy_if(mappings_.get().begin(), mappings_.get().end(), std::back_inserter(enabled),
        [](const auto& mapping) { return mapping.isEnabledByDefault; });
    auto observer = makeObserver(processIdentifier, application.localizedName, application.bundleIdentifier, enabled,
        false);
    const bool attached = observer->attach().has_value();
    if (observer->didTimeOut()) {
        timeouts_[processIdentifier] = TintraAttachTimeout { std::chrono::duration<double>(observer->attachDuration()).count(),
            static_cast<int>(observer->registeredRawNames().size()) };
    }
    if (attached) {
        observers_[processIdentifier] = std::move(observer);
        recount();
    } else {
        failedObserverCount_.set(failedObserverCount_.get() + 1);
    }
}

void TintraController::forgetObserver(std::int32_t processIdentifier)
{
    auto found = observers_.find(processIdentifier);
    if (found == observers_.end())
        return;
    found->second->detach();
    observers_.erase(found);
}

void TintraController::observeOwnMenus()
{
    if (!isRunning_.get())
        return;
    auto& workspace = environment_.workspace.get();
    const auto host = workspace.hostProcessIdentifier();
    const auto own = workspace.runningApplication(host);
    const auto& menus = menuNotifications();
    std::vector<TintraNotificationMapping> menuMappings;
    std::copy_if(mappings_.get().begin(), mappings_.get().end(), std::back_inserter(menuMappings),
        [&](const auto& mapping) { return std::find(menus.begin(), menus.end(), mapping.notification) != menus.end(); });
    auto observer = makeObserver(host, own ? own->localizedName : std::nullopt,
        own ? own->bundleIdentifier : std::nullopt, menuMappings, true);
    if (auto attached = observer->attach(); !attached) {
        std::cout << "TintraController: could not observe our own menus: " << attached.error().description() << std::endl;
        return;
    }
    ownMenuObserver_ = std::move(observer);
}

std::unique_ptr<TintraApplicationObserver> TintraController::makeObserver(std::int32_t processIdentifier,
    std::optional<std::string> localizedName, std::optional<std::string> bundleIdentifier,
    const std::vector<TintraNotificationMapping>& mappings, bool menusOnly)
{
    auto& accessibility = environment_.accessibility.get();
    auto& workspace = environment_.workspace.get();
    const auto element = accessibility.applicationElement(processIdentifier);
    accessibility.setMessagingTimeout(element, TintraApplicationObserver::applicationMessagingTimeout);
    // Observers are owned here and die before the witness and the ports they reach.
    TintraApplicationObserver::Environment observerEnvironment {
        accessibility,
        environment_.clock.get(),
        [&workspace]() -> std::optional<std::int32_t> {
            const auto frontmost = workspace.frontmostApplication();
            return frontmost ? std::optional(frontmost->processIdentifier) : std::nullopt;
        },
        [witness = inputWitness_.get()] { return witness->isTyping(); },
        [&accessibility](const AXElement& element) { return elementName(accessibility, element); },
    };
    return std::make_unique<TintraApplicationObserver>(std::move(observerEnvironment), processIdentifier,
        std::move(localizedName), std::move(bundleIdentifier), element, mappings, eventHandler(), menusOnly);
}

void TintraController::recount()
{
    int registered = 0;
    for (const auto& [processIdentifier, observer] : observers_)
        registered += static_cast<int>(observer->registeredRawNames().size());
    observedApplicationCount_.set(static_cast<int>(observers_.size()));
    registeredNotificationCount_.set(registered);
}

} // namespace tintra
