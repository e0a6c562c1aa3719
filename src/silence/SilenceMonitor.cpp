#include "silence/SilenceMonitor.h"

#include <algorithm>

namespace tintra {

namespace {

bool needsContext(TintraSilenceReason reason)
{
    return reason == TintraSilenceReason::gameMode || reason == TintraSilenceReason::fullscreenApplication;
}

} // namespace

TintraSilenceMonitor::TintraSilenceMonitor(
    Defaults& defaults, std::unique_ptr<TintraSilenceProbe> probe, bool hasBattery, const Clock& clock, Answer answer)
    : defaults_(defaults)
    , probe_(std::move(probe))
    , clock_(clock)
    , hasBattery_(hasBattery)
    , answer_(std::move(answer))
{
    for (auto reason : allSilenceReasons) {
        if (reason != TintraSilenceReason::onBattery || hasBattery_)
            availableReasons_.push_back(reason);
    }
    if (!answer_) {
        answer_ = [probe = probe_.get()](TintraSilenceReason reason, const TintraSilenceContext& context) {
            return probe->holds(reason, context);
        };
    }
    std::set<TintraSilenceReason> enabled;
    for (auto reason : availableReasons_) {
        if (defaults_.boolForKey(defaultsKey(reason), isEnabledByDefault(reason)))
            enabled.insert(reason);
    }
    enabledReasons_.set(std::move(enabled));
    probe_->setOnFocusChange(self_.bind([](TintraSilenceMonitor& self) {
        self.answeredAt_.reset();
        self.currentReason();
    }));
}

std::optional<TintraSilenceReason> TintraSilenceMonitor::cachedReason()
{
    const auto now = clock_.monotonicNow();
    if (answeredAt_ && now - *answeredAt_ < freshness_)
        return lastReason_;
    lastReason_ = evaluate();
    answeredAt_ = now;
    return lastReason_;
}

std::optional<TintraSilenceReason> TintraSilenceMonitor::evaluate()
{
    const auto& enabled = enabledReasons_.get();
    if (enabled.empty())
        return std::nullopt;
    TintraSilenceContext context;
    if (std::any_of(enabled.begin(), enabled.end(), needsContext))
        context = probe_->captureContext();
    for (auto reason : availableReasons_) {
        if (enabled.contains(reason) && answer_(reason, context))
            return reason;
    }
    return std::nullopt;
}

std::optional<TintraSilenceReason> TintraSilenceMonitor::currentReason()
{
    const auto reason = cachedReason();
    if (reason != noticedReason_.get()) {
        noticedReason_.set(reason);
        if (onChange_)
            onChange_(reason);
    }
    return reason;
}

bool TintraSilenceMonitor::isAvailable(TintraSilenceReason reason) const
{
    return std::find(availableReasons_.begin(), availableReasons_.end(), reason) != availableReasons_.end();
}

void TintraSilenceMonitor::setEnabled(bool on, TintraSilenceReason reason)
{
    if (!isAvailable(reason))
        return;
    auto enabled = enabledReasons_.get();
    if (on)
        enabled.insert(reason);
    else
        enabled.erase(reason);
    enabledReasons_.set(std::move(enabled));
    defaults_.set(defaultsKey(reason), on);
    answeredAt_.reset();
    if (on && reason == TintraSilenceReason::focus)
        probe_->requestFocusAccessIfUndetermined();
}

bool TintraSilenceMonitor::needsFocusAccess()
{
    return isEnabled(TintraSilenceReason::focus)
        && probe_->focusAuthorizationStatus() != FocusAuthorization::authorized;
}

void TintraSilenceMonitor::refreshFocus()
{
    if (!isEnabled(TintraSilenceReason::focus))
        return;
    probe_->fetchFocusNow();
    answeredAt_.reset();
}

} // namespace tintra
