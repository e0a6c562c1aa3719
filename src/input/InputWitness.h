#pragma once

#include "input/InputEvents.h"
#include "support/WeakSelf.h"

#include <vector>

namespace tintra {

// Tells whether the user is typing text rather than navigating with arrow
// keys or clicking, so that type-to-select in lists does not sound. Main
// thread only. A monitor the platform refuses is skipped without a message;
// `isTyping` then stays false and nothing is suppressed.
class TintraInputWitness {
public:
    explicit TintraInputWitness(InputEvents& events);
    ~TintraInputWitness();
    TintraInputWitness(const TintraInputWitness&) = delete;
    TintraInputWitness& operator=(const TintraInputWitness&) = delete;

    // Installs the key-down and any-mouse-down monitors, unless some are installed.
    void start();
    // Removes the monitors and forgets the typing.
    void stop();

    bool isTyping() const { return isTyping_; }
    const std::vector<InputMonitorToken>& monitors() const { return monitors_; }

    // Arrows, page up/down, home, end, return, keypad enter, escape and tab.
    static bool isNavigationKey(int keyCode);

private:
    InputEvents& events_;
    bool isTyping_ = false;
    std::vector<InputMonitorToken> monitors_;
    WeakSelf<TintraInputWitness> self_ { *this };
};

} // namespace tintra
