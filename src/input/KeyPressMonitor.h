#pragma once

#include "catalogue/Event.h"
#include "workspace/Workspace.h"
#include "input/InputEvents.h"
#include "input/KeyboardHardware.h"
#include "input/KeyboardLayout.h"
#include "input/ProcessIdentity.h"
#include "support/Clock.h"

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

namespace tintra {

// Sounds every key that goes down in another application, panned by where
// the key sits on the physical keyboard. Keys typed into this application and
// into excluded applications stay silent. Main thread only; the monitor's
// handler holds it weakly.
class TintraKeyPressMonitor {
public:
    using Handler = std::function<void(const TintraEvent&)>;

    TintraKeyPressMonitor(InputEvents& events, Workspace& workspace, KeyboardHardware& keyboards, const Clock& clock,
        Handler handler, ExclusionTest isExcluded);
    ~TintraKeyPressMonitor();
    TintraKeyPressMonitor(const TintraKeyPressMonitor&) = delete;
    TintraKeyPressMonitor& operator=(const TintraKeyPressMonitor&) = delete;

    // Installs the key-down monitor unless one is; a refused one leaves `monitor` absent.
    void start();
    // Removes the monitor and forgets every process identity; layouts stay known.
    void stop();
    void forgetProcess(std::int32_t processIdentifier) { identities_.forget(processIdentifier); }

    const std::optional<InputMonitorToken>& monitor() const { return monitor_; }
    std::size_t cachedIdentityCount() const { return identities_.size(); }

    // Asked of the hardware once per keyboard type, then cached for good.
    TintraKeyboardLayout layout(std::int64_t keyboardType);

private:
    void keyDown(const KeyDownEvent& event);
    std::optional<std::int32_t> chosenProcess(std::int32_t targetProcess);

    InputEvents& events_;
    Workspace& workspace_;
    KeyboardHardware& keyboards_;
    const Clock& clock_;
    Handler handler_;
    ExclusionTest isExcluded_;
    const std::int32_t hostProcessIdentifier_;
    std::optional<InputMonitorToken> monitor_;
    ProcessIdentities identities_;
    std::unordered_map<std::int64_t, TintraKeyboardLayout> layouts_;
    std::shared_ptr<TintraKeyPressMonitor*> self_; // the handler holds it weakly
};

} // namespace tintra
