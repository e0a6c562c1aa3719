#pragma once

#include "silence/SilenceFacts.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tintra {

// The system facts as the test sets them. The defaults describe a quiet
// desktop: audible, one unmuted output at full volume, no microphone in use,
// one ordinary display, no windows, on external power, no assertions, no
// Focus, no Game Mode session. `queries` counts every question asked on the
// main thread, so that a test can see that nothing was asked at all.
class SilenceFactsFake final : public SilenceFacts {
public:
    struct AudioDevice {
        SilenceFact<std::uint32_t> mute = 0u;
        SilenceFact<float> volume = 1.0f;
        SilenceFact<std::size_t> inputStreams = std::size_t { 0 };
        SilenceFact<std::uint32_t> runningSomewhere = 0u;
    };
    struct Display {
        DisplayID identifier;
        SilenceFact<Rect> bounds;
        SilenceFact<bool> mirrored = false;
    };

    static tl::unexpected<SilenceFactError> failure()
    {
        return tl::unexpected(SilenceFactError { SilenceFactError::Case::callFailed, "a fact", -1 });
    }
    // One window-list entry with the window server's keys.
    static PropertyList windowEntry(std::int64_t processIdentifier, std::int64_t layer, Rect bounds,
        std::optional<double> alpha = std::nullopt);
    // One power assertion.
    static PropertyList assertion(std::string_view type, std::optional<std::int64_t> level = std::nullopt);

    SilenceFact<std::uint32_t> processAudible = 1u;
    SilenceFact<AudioDeviceID> defaultOutput = 1u;
    std::map<AudioDeviceID, AudioDevice> devices { { 1u, AudioDevice {} } };
    bool deviceListFails = false;

    std::vector<Display> displays { { 1u, Rect { 0, 0, 1440, 900 } } };
    bool displayListFails = false;
    SilenceFact<PropertyList::Array> windowList = PropertyList::Array {};
    SilenceFact<std::int64_t> screenSaverLevel = std::int64_t { 1000 };

    std::optional<FrontmostApplication> frontmost;
    std::map<std::filesystem::path, PropertyList::Dictionary> informationDictionaries;

    SilenceFact<PropertyList::Array> powerSources = PropertyList::Array {};
    SilenceFact<double> timeRemaining = -2.0;
    SilenceFact<std::map<std::int32_t, PropertyList::Array>> assertions = std::map<std::int32_t, PropertyList::Array> {};
    std::int32_t ownProcess = 4242;

    FocusAuthorization authorization = FocusAuthorization::authorized;
    std::vector<std::function<void()>> authorizationRequests; // completions not yet called

    SilenceFact<NotificationToken> registration = NotificationToken { 7 };
    SilenceFact<std::uint64_t> gameModeState = std::uint64_t { 0 };
    std::vector<std::string> registeredNames;
    std::vector<NotificationToken> cancelledTokens;

    int queries = 0;
    int windowListReads = 0;
    int screenSaverLevelReads = 0;

    // The Focus state, read from any thread. While reads are held, a reader
    // waits until they are released.
    void setFocus(SilenceFact<std::optional<bool>> status);
    void holdFocusReads();
    void releaseFocusReads();
    int focusReads() const { return focusReads_.load(); }

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

private:
    const AudioDevice* device(AudioDeviceID identifier) const;
    const Display* display(DisplayID identifier) const;

    mutable std::mutex focusMutex_;
    std::condition_variable focusReleased_;
    SilenceFact<std::optional<bool>> focus_ = std::optional<bool>(false);
    bool focusHeld_ = false;
    std::atomic<int> focusReads_ = 0;
};

} // namespace tintra
