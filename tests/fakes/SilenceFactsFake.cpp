#include "SilenceFactsFake.h"

namespace tintra {

PropertyList SilenceFactsFake::windowEntry(std::int64_t processIdentifier, std::int64_t layer, Rect bounds,
    std::optional<double> alpha)
{
    PropertyList::Dictionary entry {
        { "kCGWindowOwnerPID", processIdentifier },
        { "kCGWindowLayer", layer },
        { "kCGWindowBounds",
            PropertyList::Dictionary {
                { "X", bounds.x }, { "Y", bounds.y }, { "Width", bounds.width }, { "Height", bounds.height } } },
    };
    if (alpha)
        entry.emplace("kCGWindowAlpha", *alpha);
    return entry;
}

PropertyList SilenceFactsFake::assertion(std::string_view type, std::optional<std::int64_t> level)
{
    PropertyList::Dictionary entry { { "AssertType", std::string(type) } };
    if (level)
        entry.emplace("AssertLevel", *level);
    return entry;
}

const SilenceFactsFake::AudioDevice* SilenceFactsFake::device(AudioDeviceID identifier) const
{
    const auto found = devices.find(identifier);
    return found == devices.end() ? nullptr : &found->second;
}

const SilenceFactsFake::Display* SilenceFactsFake::display(DisplayID identifier) const
{
    for (const auto& candidate : displays) {
        if (candidate.identifier == identifier)
            return &candidate;
    }
    return nullptr;
}

SilenceFact<std::uint32_t> SilenceFactsFake::processIsAudible()
{
    ++queries;
    return processAudible;
}

SilenceFact<AudioDeviceID> SilenceFactsFake::defaultOutputDevice()
{
    ++queries;
    return defaultOutput;
}

SilenceFact<std::uint32_t> SilenceFactsFake::outputMute(AudioDeviceID identifier)
{
    ++queries;
    const auto* found = device(identifier);
    return found ? found->mute : failure();
}

SilenceFact<float> SilenceFactsFake::outputVolumeScalar(AudioDeviceID identifier)
{
    ++queries;
    const auto* found = device(identifier);
    return found ? found->volume : failure();
}

SilenceFact<std::vector<AudioDeviceID>> SilenceFactsFake::audioDevices()
{
    ++queries;
    if (deviceListFails)
        return failure();
    std::vector<AudioDeviceID> identifiers;
    for (const auto& [identifier, device] : devices)
        identifiers.push_back(identifier);
    return identifiers;
}

SilenceFact<std::size_t> SilenceFactsFake::inputStreamCount(AudioDeviceID identifier)
{
    ++queries;
    const auto* found = device(identifier);
    return found ? found->inputStreams : failure();
}

SilenceFact<std::uint32_t> SilenceFactsFake::isRunningSomewhere(AudioDeviceID identifier)
{
    ++queries;
    const auto* found = device(identifier);
    return found ? found->runningSomewhere : failure();
}

SilenceFact<std::vector<DisplayID>> SilenceFactsFake::activeDisplays()
{
    ++queries;
    if (displayListFails)
        return failure();
    std::vector<DisplayID> identifiers;
    for (const auto& candidate : displays)
        identifiers.push_back(candidate.identifier);
    return identifiers;
}

SilenceFact<Rect> SilenceFactsFake::displayBounds(DisplayID identifier)
{
    ++queries;
    const auto* found = display(identifier);
    return found ? found->bounds : failure();
}

SilenceFact<bool> SilenceFactsFake::isInMirrorSet(DisplayID identifier)
{
    ++queries;
    const auto* found = display(identifier);
    return found ? found->mirrored : failure();
}

SilenceFact<PropertyList::Array> SilenceFactsFake::onScreenWindowList()
{
    ++queries;
    ++windowListReads;
    return windowList;
}

SilenceFact<std::int64_t> SilenceFactsFake::screenSaverWindowLevel()
{
    ++queries;
    ++screenSaverLevelReads;
    return screenSaverLevel;
}

std::optional<FrontmostApplication> SilenceFactsFake::frontmostApplication()
{
    ++queries;
    return frontmost;
}

SilenceFact<PropertyList::Dictionary> SilenceFactsFake::informationDictionary(const std::filesystem::path& bundleURL)
{
    ++queries;
    const auto found = informationDictionaries.find(bundleURL);
    if (found == informationDictionaries.end())
        return failure();
    return found->second;
}

SilenceFact<PropertyList::Array> SilenceFactsFake::powerSourceDescriptions()
{
    ++queries;
    return powerSources;
}

SilenceFact<double> SilenceFactsFake::timeRemainingEstimate()
{
    ++queries;
    return timeRemaining;
}

SilenceFact<std::map<std::int32_t, PropertyList::Array>> SilenceFactsFake::assertionsByProcess()
{
    ++queries;
    return assertions;
}

std::int32_t SilenceFactsFake::ownProcessIdentifier()
{
    return ownProcess;
}

void SilenceFactsFake::setFocus(SilenceFact<std::optional<bool>> status)
{
    std::lock_guard lock(focusMutex_);
    focus_ = std::move(status);
}

void SilenceFactsFake::holdFocusReads()
{
    std::lock_guard lock(focusMutex_);
    focusHeld_ = true;
}

void SilenceFactsFake::releaseFocusReads()
{
    {
        std::lock_guard lock(focusMutex_);
        focusHeld_ = false;
    }
    focusReleased_.notify_all();
}

SilenceFact<std::optional<bool>> SilenceFactsFake::focusStatus()
{
    ++focusReads_;
    std::unique_lock lock(focusMutex_);
    focusReleased_.wait(lock, [this] { return !focusHeld_; });
    return focus_;
}

FocusAuthorization SilenceFactsFake::focusAuthorizationStatus()
{
    ++queries;
    return authorization;
}

void SilenceFactsFake::requestFocusAuthorization(std::function<void()> completion)
{
    ++queries;
    authorizationRequests.push_back(std::move(completion));
}

SilenceFact<NotificationToken> SilenceFactsFake::registerNotification(std::string_view name)
{
    ++queries;
    registeredNames.emplace_back(name);
    return registration;
}

SilenceFact<std::uint64_t> SilenceFactsFake::notificationState(NotificationToken)
{
    ++queries;
    return gameModeState;
}

void SilenceFactsFake::cancelNotification(NotificationToken token)
{
    cancelledTokens.push_back(token);
}

} // namespace tintra
