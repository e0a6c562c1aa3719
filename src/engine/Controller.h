#pragma once

#include "catalogue/Event.h"
#include "catalogue/NotificationMapping.h"
#include "accessibility/Accessibility.h"
#include "engine/AfflictedApplication.h"
#include "engine/ApplicationObserver.h"
#include "engine/AssignedSoundResolver.h"
#include "engine/AttachTimeout.h"
#include "workspace/DiskArbitration.h"
#include "engine/DiskRegistry.h"
#include "engine/Exclusions.h"
#include "engine/MonitoredSilenceQuery.h"
#include "engine/SoundSetTransfers.h"
#include "workspace/Workspace.h"
#include "input/ClickMonitor.h"
#include "input/InputEvents.h"
#include "input/InputWitness.h"
#include "input/KeyPressMonitor.h"
#include "input/KeyboardHardware.h"
#include "playback/AudioOutput.h"
#include "playback/Player.h"
#include "playback/ScreenGeometry.h"
#include "silence/SilenceMonitor.h"
#include "soundlog/SoundLog.h"
#include "soundsets/Assignments.h"
#include "soundsets/Library.h"
#include "sparks/ClickSparkOverlay.h"
#include "support/Clock.h"
#include "support/Defaults.h"
#include "support/MainExecutor.h"
#include "support/Observable.h"
#include "support/WeakSelf.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// The centre of the system: owns the sound sets, the player, the log, the
// disks and the input monitors, keeps one observer per observed application,
// and is the single entry of every event. Starts and stops with the user's
// main switch, attaching to every running application one at a time and to
// each application that launches.
//
// Main thread only. Attach passes and launch retries are chains of work on
// the main executor that hold the controller weakly.
class TintraController {
public:
    using EventHandler = std::function<void(const TintraEvent&)>;

    // The platform's services and facts.
    struct Environment {
        std::reference_wrapper<Accessibility> accessibility;
        std::reference_wrapper<Workspace> workspace;
        std::reference_wrapper<InputEvents> inputEvents;
        std::reference_wrapper<KeyboardHardware> keyboards;
        std::reference_wrapper<AudioOutput> audioOutput;
        std::reference_wrapper<const ScreenGeometry> screens;
        std::reference_wrapper<DiskArbitration> disks;
        std::reference_wrapper<TintraClickSparkOverlay> sparks;
        std::reference_wrapper<MainExecutor> executor;
        std::reference_wrapper<BackgroundExecutor> background;
        std::reference_wrapper<const Clock> clock;
        std::filesystem::path homeDirectory;
        // This application's own short version ("1.2b3").
        std::string shortVersion;
    };

    static constexpr std::string_view playsNotificationSoundsKey = "TintraPlaysNotificationSounds";
    static constexpr std::string_view playsClickSoundsKey = "TintraPlaysClickSounds";
    static constexpr std::string_view playsGenericClickSoundKey = "TintraPlaysGenericClickSound";
    static constexpr std::string_view playsKeyPressSoundsKey = "TintraPlaysKeyPressSounds";
    static constexpr std::string_view showsClickSparksKey = "TintraShowsClickSparks";
    static constexpr std::string_view showsMenuBarItemKey = "TintraShowsMenuBarItem";
    static constexpr std::size_t maximumRecentEvents = 12;
    static constexpr Duration attachPause = std::chrono::milliseconds(1);
    static constexpr Duration firstLaunchRetry = std::chrono::seconds(1);
    static constexpr Duration lastLaunchRetry = std::chrono::seconds(8);
    static constexpr Duration logoutSoundWait = std::chrono::seconds(2);
    static constexpr Duration logoutSoundPoll = std::chrono::milliseconds(50);

    // Stopped; the silence monitor and the defaults store must outlive it.
    TintraController(Environment environment, std::unique_ptr<TintraLibrary> library,
        std::unique_ptr<TintraAssignments> assignments, std::unique_ptr<TintraExclusions> exclusions,
        Defaults& defaults, TintraSilenceMonitor& silence);
    ~TintraController();
    TintraController(const TintraController&) = delete;
    TintraController& operator=(const TintraController&) = delete;

    // --- Events
    void handle(const TintraEvent& event);
    // For observers and monitors: reaches `handle` while the controller exists.
    EventHandler eventHandler() const;
    void clearRecentEvents() { recentEvents_.set({}); }
    void setMonitoring(bool on) { isMonitoring_.set(on); }

    // --- Lifecycle
    // At launch: starts when the main switch is stored on.
    void startIfEnabled();
    void setPlaysNotificationSounds(bool on);
    void start();
    void stop();
    // Cancels a running pass and attaches every application not yet observed.
    void attachAll();
    // The shell's news that the application was opened at login.
    void noteOpenedAtLogin();
    // Calls `completion` once the logout sound has ended, or after 2 s.
    void waitForLogoutSound(std::function<void()> completion);
    // The first problem that keeps sounds from working, for the user.
    std::optional<std::string> problemDescription() const;

    // --- Switches; each writes its key at once.
    void setPlaysClickSounds(bool on);
    void setPlaysGenericClickSound(bool on);
    void setPlaysKeyPressSounds(bool on);
    void setShowsClickSparks(bool on);
    void setShowsMenuBarItem(bool on);

    // --- Sound sets and exclusions
    // Reads the library again, forgets choices of sets that went away, and
    // makes the first set the baseline when none is chosen.
    void reloadLibrary();
    // Stops observing every process of the application.
    void excludeApplication(const std::string& bundleIdentifier, std::optional<std::string> name = std::nullopt);
    // The same for the application an application file (a desktop entry) describes.
    tl::expected<void, TintraExclusionError> excludeApplicationFile(const std::filesystem::path& file);
    void includeApplication(const std::string& bundleIdentifier);
    void rebuildAfflictedApplications();

    // --- State
    TintraLibrary& library() { return *library_; }
    TintraAssignments& assignments() { return *assignments_; }
    TintraPlayer& player() { return *player_; }
    TintraExclusions& exclusions() { return *exclusions_; }
    TintraSoundLog& log() { return *log_; }
    TintraDiskRegistry& diskRegistry() { return *diskRegistry_; }
    // Imports into the library and exports of what plays now, with their progress.
    TintraSoundSetTransfers& transfers() { return *transfers_; }
    TintraClickMonitor& clickMonitor() { return *clickMonitor_; }
    TintraKeyPressMonitor& keyPressMonitor() { return *keyPressMonitor_; }
    const TintraInputWitness& inputWitness() const { return *inputWitness_; }

    const Observable<bool>& isRunning() const { return isRunning_; }
    const Observable<int>& observedApplicationCount() const { return observedApplicationCount_; }
    const Observable<int>& registeredNotificationCount() const { return registeredNotificationCount_; }
    const Observable<int>& failedObserverCount() const { return failedObserverCount_; }
    const Observable<std::vector<TintraAfflictedApplication>>& afflictedApplications() const
    {
        return afflictedApplications_;
    }
    const Observable<bool>& isAttaching() const { return isAttaching_; }
    const Observable<int>& applicationsAttached() const { return applicationsAttached_; }
    const Observable<int>& applicationsToAttach() const { return applicationsToAttach_; }
    const Observable<std::vector<TintraNotificationMapping>>& mappings() const { return mappings_; }
    const Observable<bool>& playsClickSounds() const { return playsClickSounds_; }
    const Observable<bool>& playsGenericClickSound() const { return playsGenericClickSound_; }
    const Observable<bool>& playsKeyPressSounds() const { return playsKeyPressSounds_; }
    const Observable<bool>& showsClickSparks() const { return showsClickSparks_; }
    bool offersClickSparks() const { return offersClickSparks_; }
    const Observable<bool>& showsMenuBarItem() const { return showsMenuBarItem_; }
    const Observable<bool>& isMonitoring() const { return isMonitoring_; }
    // Oldest first.
    const Observable<std::vector<TintraEvent>>& recentEvents() const { return recentEvents_; }

    const std::map<std::int32_t, std::unique_ptr<TintraApplicationObserver>>& observers() const { return observers_; }
    const TintraApplicationObserver* ownMenuObserver() const { return ownMenuObserver_.get(); }
    const std::map<std::int32_t, TintraAttachTimeout>& timeouts() const { return timeouts_; }

private:
    struct AttachPass;

    // Switch effects, without writing the key.
    void applyPlaysGenericClickSound(bool on);
    void updateClickMonitor();
    void updateKeyPressMonitor();

    void installWorkspaceObservations();
    void runningApplicationsChanged();
    void volumeChanged(WorkspaceNotification notification, const VolumeNotification& volume);
    void scheduleLaunchRetry(std::int32_t processIdentifier, Duration delay);
    void retryLaunchAttach(std::int32_t processIdentifier, Duration delay);
    void pollLogoutSound(MonotonicTime deadline, std::function<void()> completion);

    bool isCandidate(const RunningApplication& application) const;
    bool hasRegisteredObserver(std::int32_t processIdentifier) const;
    void cancelAttachPass();
    void continueAttachPass();
    void finishAttachPass();
    void attach(const RunningApplication& application);
    void forgetObserver(std::int32_t processIdentifier);
    void stopObserving(const std::string& bundleIdentifier);
    void observeOwnMenus();
    std::unique_ptr<TintraApplicationObserver> makeObserver(std::int32_t processIdentifier,
        std::optional<std::string> localizedName, std::optional<std::string> bundleIdentifier,
        const std::vector<TintraNotificationMapping>& mappings, bool menusOnly);
    void recount();
    bool isSandboxed() const;
    WallTime now() const { return environment_.clock.get().now(); }

    Environment environment_;
    std::unique_ptr<TintraLibrary> library_;
    std::unique_ptr<TintraAssignments> assignments_;
    std::unique_ptr<TintraExclusions> exclusions_;
    Defaults& defaults_;
    TintraSilenceMonitor& silence_;
    AssignedSoundResolver sounds_;
    MonitoredSilenceQuery silenceQuery_;
    std::unique_ptr<TintraPlayer> player_;
    std::unique_ptr<TintraSoundLog> log_;
    std::unique_ptr<TintraDiskRegistry> diskRegistry_;
    std::unique_ptr<TintraSoundSetTransfers> transfers_;
    std::unique_ptr<TintraInputWitness> inputWitness_;
    std::unique_ptr<TintraClickMonitor> clickMonitor_;
    std::unique_ptr<TintraKeyPressMonitor> keyPressMonitor_;

    Observable<bool> isRunning_ { false };
    Observable<int> observedApplicationCount_ { 0 };
    Observable<int> registeredNotificationCount_ { 0 };
    Observable<int> failedObserverCount_ { 0 };
    Observable<std::vector<TintraAfflictedApplication>> afflictedApplications_;
    Observable<bool> isAttaching_ { false };
    Observable<int> applicationsAttached_ { 0 };
    Observable<int> applicationsToAttach_ { 0 };
    Observable<std::vector<TintraNotificationMapping>> mappings_;
    Observable<bool> playsClickSounds_ { true };
    Observable<bool> playsGenericClickSound_ { true };
    Observable<bool> playsKeyPressSounds_ { false };
    Observable<bool> showsClickSparks_ { false };
    bool offersClickSparks_ = false;
    Observable<bool> showsMenuBarItem_ { true };
    Observable<bool> isMonitoring_ { false };
    Observable<std::vector<TintraEvent>> recentEvents_;

    std::map<std::int32_t, std::unique_ptr<TintraApplicationObserver>> observers_;
    std::unique_ptr<TintraApplicationObserver> ownMenuObserver_;
    std::vector<Subscription> workspaceObservations_;
    Subscription runningApplicationsObservation_;
    std::map<std::int32_t, RunningApplication> watchedApplications_;
    std::shared_ptr<AttachPass> attachTask_;
    std::map<std::int32_t, TintraAttachTimeout> timeouts_;
    // Last, so that callbacks stop reaching the controller before anything else goes.
    WeakSelf<TintraController> self_ { *this };
};

// The monitor's echo of one event: "Tintra: AXMenuOpened -> mnuo (plays) from pid 412".
std::string monitorEchoLine(const TintraEvent& event, bool isPlayable);

} // namespace tintra
