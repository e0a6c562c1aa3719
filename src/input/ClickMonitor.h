#pragma once

#include "catalogue/Event.h"
#include "input/ClickResolver.h"
#include "input/ClickTracker.h"
#include "input/InputEvents.h"
#include "support/Clock.h"

#include <functional>
#include <memory>
#include <vector>

namespace tintra {

// Watches the left mouse button in every other application: resolves each
// press to a control, sounds it, and tracks the drag and release like a
// classic button. Main thread only; the monitors' handlers hold it weakly.
class TintraClickMonitor {
public:
    using Handler = std::function<void(const TintraEvent&)>;
    using ShouldResolve = std::function<bool()>;
    using OnClick = std::function<void(Point)>;

    // `shouldResolve` is asked once per press: false ignores the press
    // entirely. `onClick` hears every press that was resolved, found or not.
    TintraClickMonitor(InputEvents& events, const Clock& clock, Handler handler, ShouldResolve shouldResolve,
        OnClick onClick, std::unique_ptr<TintraClickResolver> resolver);
    ~TintraClickMonitor();
    TintraClickMonitor(const TintraClickMonitor&) = delete;
    TintraClickMonitor& operator=(const TintraClickMonitor&) = delete;

    // Installs the left down, dragged and up monitors, in that order, unless
    // some are installed. Refused ones are skipped without a message.
    void start();
    // Removes the monitors, returns the tracker to rest and forgets every
    // process identity.
    void stop();
    void forgetProcess(std::int32_t processIdentifier) { resolver_->forgetProcess(processIdentifier); }

    // Empty while stopped, or when every installation was refused.
    const std::vector<InputMonitorToken>& monitors() const { return monitors_; }
    const TintraClickTracker& tracker() const { return tracker_; }
    TintraClickResolver& resolver() { return *resolver_; }

private:
    void mouseDown(Point location);
    void mouseDragged(Point location);
    void mouseUp(Point location);
    void emit(const std::optional<TintraClickSound>& sound, const TintraClickTarget& target);

    InputEvents& events_;
    const Clock& clock_;
    Handler handler_;
    ShouldResolve shouldResolve_;
    OnClick onClick_;
    std::unique_ptr<TintraClickResolver> resolver_;
    TintraClickTracker tracker_;
    std::vector<InputMonitorToken> monitors_;
    std::shared_ptr<TintraClickMonitor*> self_; // handlers hold it weakly
};

} // namespace tintra
