#pragma once

#include "platform/linux/dbus/BusProxy.h"
#include "platform/linux/dbus/FocusNotifications.h"
#include "platform/linux/dbus/IdleInhibitors.h"
#include "platform/linux/dbus/PowerUPower.h"
#include "platform/linux/SkyLightPrivateAPILinux.h"
#include "platform/linux/pipewire/ScreenCastsPipeWire.h"
#include "platform/linux/pulse/AudioFactsPulse.h"
#include "silence/SilenceFacts.h"
#include "support/MainExecutor.h"
#include "support/WeakSelf.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tintra {

class DesktopWindowsX11;

// The silence facts of a Linux desktop, each from the source the desktop
// really uses and kept in memory by that source's change signals, so that a
// probe never waits: audio from PulseAudio, displays and windows from X11
// (XRandR, EWMH), screen casts from PipeWire, the frontmost application's desktop entry, power from
// UPower (or the kernel's power supplies without it), display-sleep assertions from the idle inhibitors of logind and the
// GNOME session, Focus from the notification settings, and the Game Mode
// notification from Feral GameMode's ClientCount.
//
// Made on the main thread; never fails. A service the session lacks is said
// once on standard error, and its facts fail with serviceUnavailable, also in
// the first moments while the caches fill.
class SilenceFactsLinux final : public SilenceFacts {
public:
    explicit SilenceFactsLinux(MainExecutor& main);
    ~SilenceFactsLinux() override;
    SilenceFactsLinux(const SilenceFactsLinux&) = delete;
    SilenceFactsLinux& operator=(const SilenceFactsLinux&) = delete;

    // The window-server answers over the same X session, for the silence probe.
    SkyLightPrivateAPILinux& skyLight() { return skyLight_; }

    SilenceFact<std::uint32_t> processIsAudible() override;
    SilenceFact<AudioDeviceID> defaultOutputDevice() override;
    SilenceFact<std::uint32_t> outputMute(AudioDeviceID device) override;
    SilenceFact<float> outputVolumeScalar(AudioDeviceID device) override;
    SilenceFact<std::vector<AudioDeviceID>> audioDevices() override;
    SilenceFact<std::size_t> inputStreamCount(AudioDeviceID device) override;
    SilenceFact<std::uint32_t> isRunningSomewhere(AudioDeviceID device) override;

    SilenceFact<std::vector<DisplayID>> activeDisplays() override;
    SilenceFact<Rect> displayBounds(DisplayID display) override;
    SilenceFact<bool> isInMirrorSet(DisplayID display) override;
    SilenceFact<PropertyList::Array> onScreenWindowList() override;
    SilenceFact<std::int64_t> screenSaverWindowLevel() override;

    std::optional<FrontmostApplication> frontmostApplication() override;
    SilenceFact<PropertyList::Dictionary> informationDictionary(const std::filesystem::path& bundleURL) override;

    SilenceFact<PropertyList::Array> powerSourceDescriptions() override;
    SilenceFact<double> timeRemainingEstimate() override;
    SilenceFact<std::map<std::int32_t, PropertyList::Array>> assertionsByProcess() override;
    std::int32_t ownProcessIdentifier() override;

    SilenceFact<std::optional<bool>> focusStatus() override;
    FocusAuthorization focusAuthorizationStatus() override;
    void requestFocusAuthorization(std::function<void()> completion) override;

    SilenceFact<NotificationToken> registerNotification(std::string_view name) override;
    SilenceFact<std::uint64_t> notificationState(NotificationToken token) override;
    void cancelNotification(NotificationToken token) override;

    static constexpr Duration suppliesInterval = seconds(10);

private:
    std::optional<PowerSupplies> power() const;
    void readSupplies();

    MainExecutor& main_;
    const std::int32_t ownProcess_;
    AudioFactsPulse audio_;
    std::unique_ptr<DesktopWindowsX11> desktop_;
    ScreenCastsPipeWire screenCasts_;
    SkyLightPrivateAPILinux skyLight_;
    PowerUPower power_;
    IdleInhibitors inhibitors_;
    FocusNotifications focus_;
    BusProxy gameMode_;
    std::map<NotificationToken, std::string> notifications_;
    NotificationToken nextToken_ = 1;
    std::map<std::filesystem::path, PropertyList::Dictionary> informationCache_;
    std::optional<PowerSupplies> supplies_;
    ScheduledWork suppliesRead_;
    WeakSelf<SilenceFactsLinux> self_ { *this };
};

} // namespace tintra
