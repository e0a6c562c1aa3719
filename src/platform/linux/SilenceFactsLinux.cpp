#include "platform/linux/SilenceFactsLinux.h"

#include "platform/linux/DesktopWindowsX11.h"
#include "platform/linux/files/DesktopEntries.h"
#include "silence/SilenceProbe.h"

#include <unistd.h>

namespace tintra {

namespace {

tl::unexpected<SilenceFactError> unavailable(const char* operation)
{
    return tl::unexpected(SilenceFactError { SilenceFactError::Case::serviceUnavailable, operation });
}

PropertyList::Dictionary batteryDescription(const PowerSupplies& power)
{
    return PropertyList::Dictionary {
        { "Type", "InternalBattery" },
        { "Name", "InternalBattery-0" },
        { "Is Present", true },
        { "Current Capacity", std::int64_t(power.battery->percentage + 0.5) },
        { "Max Capacity", std::int64_t(100) },
        { "Power Source State", power.onBattery ? "Battery Power" : "AC Power" },
    };
}

PropertyList::Dictionary displaySleepAssertion(const IdleInhibitor& inhibitor)
{
    return PropertyList::Dictionary {
        { "AssertType", "PreventUserIdleDisplaySleep" },
        { "AssertionTrueType", "PreventUserIdleDisplaySleep" },
        { "AssertLevel", std::int64_t(255) },
        { "AssertName", inhibitor.why },
        { "Process Name", inhibitor.who },
    };
}

} // namespace

SilenceFactsLinux::SilenceFactsLinux(MainExecutor& main)
    : main_(main)
    , ownProcess_(getpid())
    , audio_(main, ownProcess_)
    , desktop_(std::make_unique<DesktopWindowsX11>())
    , screenCasts_(main)
    , skyLight_(desktop_.get(), &screenCasts_)
    , inhibitors_(main)
    , gameMode_(G_BUS_TYPE_SESSION, "com.feralinteractive.GameMode", "/com/feralinteractive/GameMode",
          "com.feralinteractive.GameMode", "games that ask for Game Mode are not seen")
{
    readSupplies();
}

SilenceFactsLinux::~SilenceFactsLinux()
{
    suppliesRead_.cancel();
}

SilenceFact<std::uint32_t> SilenceFactsLinux::processIsAudible() { return audio_.processIsAudible(); }
SilenceFact<AudioDeviceID> SilenceFactsLinux::defaultOutputDevice() { return audio_.defaultOutputDevice(); }
SilenceFact<std::uint32_t> SilenceFactsLinux::outputMute(AudioDeviceID device) { return audio_.outputMute(device); }
SilenceFact<float> SilenceFactsLinux::outputVolumeScalar(AudioDeviceID device) { return audio_.outputVolumeScalar(device); }
SilenceFact<std::vector<AudioDeviceID>> SilenceFactsLinux::audioDevices() { return audio_.audioDevices(); }
SilenceFact<std::size_t> SilenceFactsLinux::inputStreamCount(AudioDeviceID device) { return audio_.inputStreamCount(device); }
SilenceFact<std::uint32_t> SilenceFactsLinux::isRunningSomewhere(AudioDeviceID device) { return audio_.isRunningSomewhere(device); }

SilenceFact<std::vector<DisplayID>> SilenceFactsLinux::activeDisplays() { return desktop_->activeDisplays(); }
SilenceFact<Rect> SilenceFactsLinux::displayBounds(DisplayID display) { return desktop_->displayBounds(display); }
SilenceFact<bool> SilenceFactsLinux::isInMirrorSet(DisplayID display) { return desktop_->isInMirrorSet(display); }
SilenceFact<PropertyList::Array> SilenceFactsLinux::onScreenWindowList() { return desktop_->onScreenWindowList(); }
SilenceFact<std::int64_t> SilenceFactsLinux::screenSaverWindowLevel() { return kScreenSaverWindowLevel; }

std::optional<FrontmostApplication> SilenceFactsLinux::frontmostApplication() { return desktop_->frontmostApplication(); }

SilenceFact<PropertyList::Dictionary> SilenceFactsLinux::informationDictionary(const std::filesystem::path& bundleURL)
{
    if (const auto cached = informationCache_.find(bundleURL); cached != informationCache_.end())
        return cached->second;
    auto information = applicationInformation(bundleURL);
    if (!information)
        return tl::unexpected(SilenceFactError { SilenceFactError::Case::callFailed, "informationDictionary" });
    return informationCache_.emplace(bundleURL, std::move(*information)).first->second;
}

// UPower where it runs, else what the kernel said at the last look.
std::optional<PowerSupplies> SilenceFactsLinux::power() const
{
    if (auto state = power_.state())
        return state;
    return supplies_;
}

// Without UPower's signals the kernel's list is read again now and then.
void SilenceFactsLinux::readSupplies()
{
    supplies_ = power_.state() ? std::nullopt : readPowerSupplies();
    suppliesRead_ = main_.schedule(suppliesInterval, self_.bind([](SilenceFactsLinux& self) { self.readSupplies(); }));
}

SilenceFact<PropertyList::Array> SilenceFactsLinux::powerSourceDescriptions()
{
    const auto state = power();
    if (!state)
        return unavailable("powerSourceDescriptions");
    PropertyList::Array sources;
    if (state->battery)
        sources.emplace_back(batteryDescription(*state));
    return sources;
}

SilenceFact<double> SilenceFactsLinux::timeRemainingEstimate()
{
    const auto state = power();
    if (!state)
        return unavailable("timeRemainingEstimate");
    if (!state->onBattery)
        return -2.0;
    return state->battery && state->battery->secondsToEmpty > 0 ? double(state->battery->secondsToEmpty) : -1.0;
}

SilenceFact<std::map<std::int32_t, PropertyList::Array>> SilenceFactsLinux::assertionsByProcess()
{
    if (!inhibitors_.isKnown())
        return unavailable("assertionsByProcess");
    std::map<std::int32_t, PropertyList::Array> byProcess;
    for (const auto& inhibitor : inhibitors_.inhibitors())
        byProcess[std::int32_t(inhibitor.pid)].emplace_back(displaySleepAssertion(inhibitor));
    return byProcess;
}

std::int32_t SilenceFactsLinux::ownProcessIdentifier() { return ownProcess_; }

SilenceFact<std::optional<bool>> SilenceFactsLinux::focusStatus()
{
    if (!focus_.isReadable())
        return unavailable("focusStatus");
    return focus_.isActive();
}

FocusAuthorization SilenceFactsLinux::focusAuthorizationStatus()
{
    return focus_.isReadable() ? FocusAuthorization::authorized : FocusAuthorization::denied;
}

// Nobody is asked: reading the settings needs no permission.
void SilenceFactsLinux::requestFocusAuthorization(std::function<void()> completion)
{
    completion();
}

SilenceFact<NotificationToken> SilenceFactsLinux::registerNotification(std::string_view name)
{
    const auto token = nextToken_++;
    notifications_.emplace(token, std::string(name));
    return token;
}

// Only the Game Mode notification has a state on Linux; any other stays 0.
SilenceFact<std::uint64_t> SilenceFactsLinux::notificationState(NotificationToken token)
{
    const auto found = notifications_.find(token);
    if (found == notifications_.end())
        return tl::unexpected(SilenceFactError { SilenceFactError::Case::callFailed, "notificationState" });
    if (found->second != kGameModeNotification)
        return std::uint64_t(0);
    const auto clients = gameMode_.property("ClientCount");
    if (!clients || !g_variant_is_of_type(clients.get(), G_VARIANT_TYPE_INT32))
        return unavailable("notificationState");
    return std::uint64_t(g_variant_get_int32(clients.get()) > 0 ? 1 : 0);
}

void SilenceFactsLinux::cancelNotification(NotificationToken token)
{
    notifications_.erase(token);
}

} // namespace tintra
