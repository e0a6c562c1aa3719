#pragma once

#include "silence/SilenceContext.h"
#include "silence/SilenceProbe.h"
#include "silence/SilenceReason.h"
#include "support/Clock.h"
#include "support/Defaults.h"
#include "support/Observable.h"
#include "support/WeakSelf.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace tintra {

// Answers the question asked before every sound: which enabled reason for
// silence holds right now, if any. An answer is reused for half a second so
// that a burst of events costs one pass of system queries; the switches live
// in the user defaults. Main thread only; never fails (a probe that cannot
// reach its service answers false).
class TintraSilenceMonitor {
public:
    using Answer = std::function<bool(TintraSilenceReason, const TintraSilenceContext&)>;
    using ChangeHandler = std::function<void(std::optional<TintraSilenceReason>)>;

    // Without an answer function the probe's own test is used.
    TintraSilenceMonitor(Defaults& defaults, std::unique_ptr<TintraSilenceProbe> probe, bool hasBattery,
        const Clock& clock, Answer answer = {});
    TintraSilenceMonitor(const TintraSilenceMonitor&) = delete;
    TintraSilenceMonitor& operator=(const TintraSilenceMonitor&) = delete;

    // The answer; tells `onChange` when it differs from the one noticed last.
    std::optional<TintraSilenceReason> currentReason();
    // The answer without telling anybody, for displays that only read it.
    std::optional<TintraSilenceReason> cachedReason();

    bool isEnabled(TintraSilenceReason reason) const { return enabledReasons_.get().contains(reason); }
    void setEnabled(bool on, TintraSilenceReason reason);
    bool anyReasonEnabled() const { return !enabledReasons_.get().empty(); }
    // The Focus switch is on but the user has not granted access to the Focus state.
    bool needsFocusAccess();
    // Reads the Focus state now, when the menu opens.
    void refreshFocus();

    // Told each time the noticed answer changes.
    void setOnChange(ChangeHandler handler) { onChange_ = std::move(handler); }

    const std::vector<TintraSilenceReason>& availableReasons() const { return availableReasons_; }
    bool hasBattery() const { return hasBattery_; }
    Duration freshness() const { return freshness_; }
    const std::set<TintraSilenceReason>& enabledReasons() const { return enabledReasons_; }
    std::optional<TintraSilenceReason> noticedReason() const { return noticedReason_; }
    TintraSilenceProbe& probe() { return *probe_; }

    [[nodiscard]] Subscription observeEnabledReasons(Observable<std::set<TintraSilenceReason>>::Observer observer)
    {
        return enabledReasons_.subscribe(std::move(observer));
    }
    [[nodiscard]] Subscription observeNoticedReason(Observable<std::optional<TintraSilenceReason>>::Observer observer)
    {
        return noticedReason_.subscribe(std::move(observer));
    }

private:
    std::optional<TintraSilenceReason> evaluate();
    bool isAvailable(TintraSilenceReason reason) const;

    const Duration freshness_ = seconds(0.5);
    Defaults& defaults_;
    std::unique_ptr<TintraSilenceProbe> probe_;
    const Clock& clock_;
    bool hasBattery_;
    std::vector<TintraSilenceReason> availableReasons_;
    Answer answer_;
    ChangeHandler onChange_;
    Observable<std::set<TintraSilenceReason>> enabledReasons_;
    std::optional<TintraSilenceReason> lastReason_;
    std::optional<MonotonicTime> answeredAt_;
    Observable<std::optional<TintraSilenceReason>> noticedReason_;
    WeakSelf<TintraSilenceMonitor> self_ { *this };
};

} // namespace tintra
