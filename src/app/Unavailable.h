#pragma once

#include "accessibility/Accessibility.h"
#include "input/InputEvents.h"
#include "input/KeyboardHardware.h"
#include "playback/ScreenGeometry.h"
#include "silence/SilenceFacts.h"
#include "workspace/DiskArbitration.h"
#include "workspace/Workspace.h"

#include <string>

namespace tintra {

// Stand-ins for a desktop service this session does not offer. Each says
// once, on standard error, what the user goes without, and then answers as
// the port describes a service that cannot be reached.

void reportUnavailable(const std::string& what);

class AccessibilityUnavailable final : public Accessibility {
public:
    AccessibilityUnavailable() { reportUnavailable("no accessibility bus, so menus, windows and dialogs stay silent"); }
    bool isProcessTrusted() override { return false; }
    bool requestTrust() override { return false; }
    AXElement applicationElement(std::int32_t processIdentifier) override;
    AXElement systemWideElement() override { return applicationElement(0); }
    AXError setMessagingTimeout(const AXElement&, Duration) override { return AXError::apiDisabled; }
    AXAttributeResult copyAttributeValue(const AXElement&, const std::string&) override;
    tl::expected<std::vector<AXAttributeResult>, AXError> copyMultipleAttributeValues(
        const AXElement&, const std::vector<std::string>&) override;
    tl::expected<std::vector<std::string>, AXError> copyAttributeNames(const AXElement&) override;
    tl::expected<std::vector<std::string>, AXError> copyActionNames(const AXElement&) override;
    tl::expected<std::vector<std::string>, AXError> copyParameterizedAttributeNames(const AXElement&) override;
    tl::expected<AXElement, AXError> elementAtPosition(const AXElement&, AXPoint) override;
    tl::expected<std::int32_t, AXError> processIdentifier(const AXElement&) override;
    tl::expected<std::unique_ptr<AXObserver>, AXError> createObserver(std::int32_t, AXObserverCallback) override;
};

class InputEventsUnavailable final : public InputEvents {
public:
    InputEventsUnavailable() { reportUnavailable("no X11 display, so clicks and key presses are not heard"); }
    std::optional<InputMonitorToken> addGlobalMouseMonitor(MouseEventType, MouseHandler) override { return std::nullopt; }
    std::optional<InputMonitorToken> addGlobalKeyDownMonitor(KeyDownHandler) override { return std::nullopt; }
    void removeMonitor(InputMonitorToken) override {}
};

// Without a keyboard to ask: an ANSI keyboard of no known type.
class KeyboardHardwareUnavailable final : public KeyboardHardware {
public:
    std::int64_t currentKeyboardType() override { return 0; }
    std::uint32_t layoutType(std::uint16_t) override { return 0; }
};

// Without screens, sounds are not panned.
class ScreenGeometryUnavailable final : public ScreenGeometry {
public:
    std::vector<Rect> screenFrames() const override { return {}; }
    Point pointerLocation() const override { return {}; }
};

// Only this program runs, as far as anybody can tell.
class WorkspaceUnavailable final : public Workspace {
public:
    WorkspaceUnavailable();
    std::int32_t hostProcessIdentifier() const override { return host_; }
    std::optional<RunningApplication> runningApplication(std::int32_t) const override { return std::nullopt; }
    std::optional<RunningApplication> frontmostApplication() const override { return std::nullopt; }
    std::vector<RunningApplication> runningApplications() const override { return {}; }
    std::optional<std::filesystem::path> urlForApplication(const std::string&) const override { return std::nullopt; }
    std::optional<std::filesystem::path> iconForFile(const std::filesystem::path&) const override { return std::nullopt; }
    Subscription observeRunningApplications(std::function<void()>) override { return {}; }
    Subscription observe(WorkspaceNotification, NotificationObserver) override { return {}; }

private:
    std::int32_t host_;
};

class DiskArbitrationUnavailable final : public DiskArbitration {
public:
    std::optional<DADiskDescription> copyDescription(const std::filesystem::path&) override { return std::nullopt; }
    std::vector<std::filesystem::path> mountedVolumeURLs() override { return {}; }
};

// Every fact fails, which the probes read as "no reason to be quiet".
class SilenceFactsUnavailable final : public SilenceFacts {
public:
    SilenceFactsUnavailable() { reportUnavailable("no system facts, so nothing holds sounds back"); }
    SilenceFact<std::uint32_t> processIsAudible() override { return fail("processIsAudible"); }
    SilenceFact<AudioDeviceID> defaultOutputDevice() override { return fail("defaultOutputDevice"); }
    SilenceFact<std::uint32_t> outputMute(AudioDeviceID) override { return fail("outputMute"); }
    SilenceFact<float> outputVolumeScalar(AudioDeviceID) override { return fail("outputVolumeScalar"); }
    SilenceFact<std::vector<AudioDeviceID>> audioDevices() override { return fail("audioDevices"); }
    SilenceFact<std::size_t> inputStreamCount(AudioDeviceID) override { return fail("inputStreamCount"); }
    SilenceFact<std::uint32_t> isRunningSomewhere(AudioDeviceID) override { return fail("isRunningSomewhere"); }
    SilenceFact<std::vector<DisplayID>> activeDisplays() override { return fail("activeDisplays"); }
    SilenceFact<Rect> displayBounds(DisplayID) override { return fail("displayBounds"); }
    SilenceFact<bool> isInMirrorSet(DisplayID) override { return fail("isInMirrorSet"); }
    SilenceFact<PropertyList::Array> onScreenWindowList() override { return fail("onScreenWindowList"); }
    SilenceFact<std::int64_t> screenSaverWindowLevel() override { return fail("screenSaverWindowLevel"); }
    std::optional<FrontmostApplication> frontmostApplication() override { return std::nullopt; }
    SilenceFact<PropertyList::Dictionary> informationDictionary(const std::filesystem::path&) override
    {
        return fail("informationDictionary");
    }
    SilenceFact<PropertyList::Array> powerSourceDescriptions() override { return fail("powerSourceDescriptions"); }
    SilenceFact<double> timeRemainingEstimate() override { return fail("timeRemainingEstimate"); }
    SilenceFact<std::map<std::int32_t, PropertyList::Array>> assertionsByProcess() override
    {
        return fail("assertionsByProcess");
    }
    std::int32_t ownProcessIdentifier() override;
    SilenceFact<std::optional<bool>> focusStatus() override { return fail("focusStatus"); }
    FocusAuthorization focusAuthorizationStatus() override { return FocusAuthorization::denied; }
    void requestFocusAuthorization(std::function<void()> completion) override { completion(); }
    SilenceFact<NotificationToken> registerNotification(std::string_view) override { return fail("registerNotification"); }
    SilenceFact<std::uint64_t> notificationState(NotificationToken) override { return fail("notificationState"); }
    void cancelNotification(NotificationToken) override {}

private:
    static tl::unexpected<SilenceFactError> fail(const char* operation)
    {
        return tl::unexpected(SilenceFactError { SilenceFactError::Case::serviceUnavailable, operation });
    }
};

} // namespace tintra
