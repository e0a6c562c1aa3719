#include "silence/SilenceProbe.h"

#include <limits>

namespace tintra {

namespace {

// An unknown Focus state, or one that could not be read, counts as no Focus.
bool isFocused(const SilenceFact<std::optional<bool>>& status)
{
    return status && status->value_or(false);
}

const std::string* text(const PropertyList::Dictionary& dictionary, std::string_view key)
{
    const auto found = dictionary.find(key);
    return found == dictionary.end() ? nullptr : found->second.asString();
}

bool isDisplaySleepAssertion(const PropertyList::Dictionary& assertion)
{
    const auto* type = text(assertion, "AssertionTrueType");
    if (!type)
        type = text(assertion, "AssertType");
    return type && (*type == "PreventUserIdleDisplaySleep" || *type == "NoDisplaySleepAssertion");
}

// Only a level stated as the integer 0 releases an assertion.
bool isHeld(const PropertyList::Dictionary& assertion)
{
    const auto found = assertion.find("AssertLevel");
    const auto* level = found == assertion.end() ? nullptr : found->second.asInteger();
    return !level || *level != 0;
}

bool isGamesCategory(std::string_view category)
{
    return category == kGamesCategory
        || (category.size() > kGamesCategory.size() && category.starts_with(kGamesCategory)
            && category[kGamesCategory.size()] == '.');
}

} // namespace

bool coversDisplay(const std::vector<TintraWindowDescription>& windows, std::int32_t processIdentifier,
    const std::vector<Rect>& displays, std::int64_t screenSaverLevel)
{
    if (processIdentifier < 1 || displays.empty() || windows.empty())
        return false;
    for (const auto& window : windows) {
        if (window.processIdentifier != processIdentifier || !(window.alpha > 0.0))
            continue;
        if (window.layer != 0 && window.layer < screenSaverLevel)
            continue;
        if (window.bounds.isEmpty())
            continue;
        const auto grown = window.bounds.insetBy(-1, -1);
        for (const auto& display : displays) {
            if (!display.isEmpty() && grown.contains(display))
                return true;
        }
    }
    return false;
}

TintraSilenceProbe::TintraSilenceProbe(SilenceFacts& facts, SkyLightPrivateAPI& skyLight, const Clock& clock,
    MainExecutor& main, BackgroundExecutor& background)
    : facts_(facts)
    , skyLight_(skyLight)
    , clock_(clock)
    , main_(main)
    , background_(background)
{
}

TintraSilenceProbe::~TintraSilenceProbe()
{
    if (gameModeToken_)
        facts_.cancelNotification(*gameModeToken_);
}

bool TintraSilenceProbe::holds(TintraSilenceReason reason, const TintraSilenceContext& context)
{
    switch (reason) {
    case TintraSilenceReason::audioHeldBack: return audioHeldBack();
    case TintraSilenceReason::sharedDisplay: return displayShared();
    case TintraSilenceReason::gameMode: return gameMode(context);
    case TintraSilenceReason::onBattery: return onBattery();
    case TintraSilenceReason::microphoneInUse: return microphoneInUse();
    case TintraSilenceReason::videoPlayback: return displaySleepAssertionHeldByAnotherProcess();
    case TintraSilenceReason::focus: return focusActive();
    case TintraSilenceReason::fullscreenApplication: return fullscreen(context);
    }
    return false;
}

TintraSilenceContext TintraSilenceProbe::captureContext()
{
    TintraSilenceContext context;
    if (auto list = facts_.onScreenWindowList()) {
        for (const auto& entry : *list) {
            const auto* dictionary = entry.asDictionary();
            if (!dictionary)
                continue;
            if (auto window = TintraWindowDescription::fromWindowListEntry(*dictionary))
                context.windows.push_back(*window);
        }
    }
    if (auto displays = facts_.activeDisplays()) {
        for (auto display : *displays) {
            auto bounds = facts_.displayBounds(display);
            if (!bounds) {
                context.displays.clear();
                break;
            }
            context.displays.push_back(*bounds);
        }
    }
    return context;
}

bool TintraSilenceProbe::hasBattery()
{
    const auto sources = facts_.powerSourceDescriptions();
    if (!sources)
        return false;
    for (const auto& source : *sources) {
        const auto* description = source.asDictionary();
        const auto* type = description ? text(*description, "Type") : nullptr;
        if (type && *type == "InternalBattery")
            return true;
    }
    return false;
}

bool TintraSilenceProbe::audioHeldBack()
{
    if (auto audible = facts_.processIsAudible(); audible && *audible == 0)
        return true;
    const auto device = facts_.defaultOutputDevice();
    if (!device || *device == 0)
        return false;
    if (auto mute = facts_.outputMute(*device); mute && *mute != 0)
        return true;
    const auto volume = facts_.outputVolumeScalar(*device);
    return volume && *volume <= 0.0f;
}

bool TintraSilenceProbe::displayShared()
{
    if (auto displays = facts_.activeDisplays()) {
        for (auto display : *displays) {
            if (auto mirrored = facts_.isInMirrorSet(display); mirrored && *mirrored)
                return true;
        }
    }
    return skyLight_.isScreenWatcherPresent().value_or(false);
}

bool TintraSilenceProbe::gameMode(const TintraSilenceContext& context)
{
    if (!didRegisterGameMode_) {
        didRegisterGameMode_ = true;
        if (auto token = facts_.registerNotification(kGameModeNotification))
            gameModeToken_ = *token;
    }
    if (gameModeToken_) {
        if (auto state = facts_.notificationState(*gameModeToken_); state && *state != 0)
            return true;
    }
    const auto front = facts_.frontmostApplication();
    if (!front || !front->bundleURL)
        return false;
    const auto information = facts_.informationDictionary(*front->bundleURL);
    const auto* category = information ? text(*information, "LSApplicationCategoryType") : nullptr;
    if (!category || !isGamesCategory(*category))
        return false;
    return covers(context, front->processIdentifier);
}

bool TintraSilenceProbe::onBattery()
{
    const auto estimate = facts_.timeRemainingEstimate();
    return estimate && *estimate != -2.0;
}

bool TintraSilenceProbe::microphoneInUse()
{
    const auto devices = facts_.audioDevices();
    if (!devices)
        return false;
    for (auto device : *devices) {
        const auto streams = facts_.inputStreamCount(device);
        if (!streams || *streams == 0)
            continue;
        if (auto running = facts_.isRunningSomewhere(device); running && *running != 0)
            return true;
    }
    return false;
}

bool TintraSilenceProbe::displaySleepAssertionHeldByAnotherProcess()
{
    const auto byProcess = facts_.assertionsByProcess();
    if (!byProcess)
        return false;
    const auto own = facts_.ownProcessIdentifier();
    for (const auto& [process, assertions] : *byProcess) {
        if (process == own)
            continue;
        for (const auto& assertion : assertions) {
            const auto* dictionary = assertion.asDictionary();
            if (dictionary && isDisplaySleepAssertion(*dictionary) && isHeld(*dictionary))
                return true;
        }
    }
    return false;
}

bool TintraSilenceProbe::fullscreen(const TintraSilenceContext& context)
{
    if (auto space = skyLight_.activeSpace(); space && *space != 0) {
        if (auto type = skyLight_.spaceType(*space); type && *type != 0)
            return true;
    }
    const auto front = facts_.frontmostApplication();
    return front && covers(context, front->processIdentifier);
}

bool TintraSilenceProbe::covers(const TintraSilenceContext& context, std::int32_t processIdentifier)
{
    return coversDisplay(context.windows, processIdentifier, context.displays, screenSaverLevel());
}

// Read once and kept. Should the read fail, only ordinary windows count, and
// the next test asks again.
std::int64_t TintraSilenceProbe::screenSaverLevel()
{
    if (!screenSaverLevel_) {
        if (auto level = facts_.screenSaverWindowLevel())
            screenSaverLevel_ = *level;
        else
            return std::numeric_limits<std::int64_t>::max();
    }
    return *screenSaverLevel_;
}

bool TintraSilenceProbe::focusActive()
{
    refreshFocusIfStale();
    return lastFocusStatus_;
}

void TintraSilenceProbe::refreshFocusIfStale()
{
    if (focusFetchedAt_ && clock_.monotonicNow() - *focusFetchedAt_ < focusFreshness_)
        return;
    if (isFetchingFocus_)
        return;
    isFetchingFocus_ = true;
    background_.run([&facts = facts_] { return isFocused(facts.focusStatus()); },
        self_.bind([](TintraSilenceProbe& self, bool status) {
            const bool old = self.lastFocusStatus_;
            self.lastFocusStatus_ = status;
            self.focusFetchedAt_ = self.clock_.monotonicNow();
            self.isFetchingFocus_ = false;
            if (status != old && self.onFocusChange_)
                self.onFocusChange_();
        }));
}

bool TintraSilenceProbe::fetchFocusNow()
{
    lastFocusStatus_ = isFocused(facts_.focusStatus());
    focusFetchedAt_ = clock_.monotonicNow();
    return lastFocusStatus_;
}

void TintraSilenceProbe::requestFocusAccessIfUndetermined()
{
    if (facts_.focusAuthorizationStatus() != FocusAuthorization::notDetermined)
        return;
    auto markStale = self_.bind([](TintraSilenceProbe& self) { self.focusFetchedAt_.reset(); });
    facts_.requestFocusAuthorization([&main = main_, markStale] { main.post(markStale); });
}

} // namespace tintra
