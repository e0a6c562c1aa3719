#pragma once

#include "support/Geometry.h"
#include "support/PropertyList.h"

#include <tl/expected.hpp>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

struct SilenceFactError {
    enum class Case {
        serviceUnavailable, // the system service could not be reached
        callFailed,         // the service answered with an error; `code` is its status
    };
    Case kind;
    std::string operation; // what was asked, for the description
    std::int64_t code = 0;

    std::string description() const;
};

template <typename T>
using SilenceFact = tl::expected<T, SilenceFactError>;

using AudioDeviceID = std::uint32_t;
using DisplayID = std::uint32_t;
using NotificationToken = std::int32_t;

struct FrontmostApplication {
    std::int32_t processIdentifier = 0;
    std::optional<std::filesystem::path> bundleURL;
};

enum class FocusAuthorization {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    authorized = 3,
};

// The system facts the silence probes decide on: audio devices, displays and
// windows, power, the Focus state and the Game Mode notification.
//
// Called on the main thread, synchronously, except `focusStatus`, which is
// also called from a background thread and must be safe there. Every question
// may fail; the probes then answer false and never report the error.
class SilenceFacts {
public:
    virtual ~SilenceFacts() = default;

    // Audio. 0 from processIsAudible: the system will not let this process be heard.
    virtual SilenceFact<std::uint32_t> processIsAudible() = 0;
    // 0 when there is no output device.
    virtual SilenceFact<AudioDeviceID> defaultOutputDevice() = 0;
    // Non-zero when muted.
    virtual SilenceFact<std::uint32_t> outputMute(AudioDeviceID device) = 0;
    // 0.0 to 1.0.
    virtual SilenceFact<float> outputVolumeScalar(AudioDeviceID device) = 0;
    virtual SilenceFact<std::vector<AudioDeviceID>> audioDevices() = 0;
    // A device with no input stream is not an input device.
    virtual SilenceFact<std::size_t> inputStreamCount(AudioDeviceID device) = 0;
    // Non-zero while any process uses the device.
    virtual SilenceFact<std::uint32_t> isRunningSomewhere(AudioDeviceID device) = 0;

    // Displays and windows, in global coordinates (top-left origin, y down).
    virtual SilenceFact<std::vector<DisplayID>> activeDisplays() = 0;
    virtual SilenceFact<Rect> displayBounds(DisplayID display) = 0;
    virtual SilenceFact<bool> isInMirrorSet(DisplayID display) = 0;
    // On-screen windows, front to back, as the window server's entries:
    // "kCGWindowOwnerPID" and "kCGWindowLayer" integers, "kCGWindowBounds" a
    // dictionary of "X", "Y", "Width" and "Height", "kCGWindowAlpha" a number.
    virtual SilenceFact<PropertyList::Array> onScreenWindowList() = 0;
    // The layer of screen-saver windows; also the lowest layer above it that still counts.
    virtual SilenceFact<std::int64_t> screenSaverWindowLevel() = 0;

    // Applications. None when no application is in front.
    virtual std::optional<FrontmostApplication> frontmostApplication() = 0;
    // The application's information dictionary (with "LSApplicationCategoryType").
    virtual SilenceFact<PropertyList::Dictionary> informationDictionary(const std::filesystem::path& bundleURL) = 0;

    // Power. One description dictionary per power source ("Type" is
    // "InternalBattery" for a built-in battery).
    virtual SilenceFact<PropertyList::Array> powerSourceDescriptions() = 0;
    // Seconds of power left: -1.0 unknown, -2.0 unlimited (on external power).
    virtual SilenceFact<double> timeRemainingEstimate() = 0;
    // Power assertions by process identifier, each a dictionary
    // ("AssertType", "AssertionTrueType", "AssertLevel").
    virtual SilenceFact<std::map<std::int32_t, PropertyList::Array>> assertionsByProcess() = 0;
    virtual std::int32_t ownProcessIdentifier() = 0;

    // Focus. Any thread; may take a while. None when the state is not known.
    virtual SilenceFact<std::optional<bool>> focusStatus() = 0;
    virtual FocusAuthorization focusAuthorizationStatus() = 0;
    // Asks the user; `completion` runs once when they have answered, on any thread.
    virtual void requestFocusAuthorization(std::function<void()> completion) = 0;

    // Notification state: a registration, its 64-bit state, and its cancellation.
    virtual SilenceFact<NotificationToken> registerNotification(std::string_view name) = 0;
    virtual SilenceFact<std::uint64_t> notificationState(NotificationToken token) = 0;
    virtual void cancelNotification(NotificationToken token) = 0;
};

} // namespace tintra
