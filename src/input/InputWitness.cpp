#include "input/InputWitness.h"

#include <algorithm>
#include <array>

namespace tintra {

namespace {

constexpr std::array<int, 12> kNavigationKeys { 126, 125, 123, 124, 116, 121, 115, 119, 36, 76, 53, 48 };

} // namespace

TintraInputWitness::TintraInputWitness(InputEvents& events)
    : events_(events)
{
}

TintraInputWitness::~TintraInputWitness()
{
    stop();
}

bool TintraInputWitness::isNavigationKey(int keyCode)
{
    return std::find(kNavigationKeys.begin(), kNavigationKeys.end(), keyCode) != kNavigationKeys.end();
}

void TintraInputWitness::start()
{
    if (!monitors_.empty())
        return;
    auto keyDown = events_.addGlobalKeyDownMonitor(self_.bind([](TintraInputWitness& self, const KeyDownEvent& event) {
        self.isTyping_ = !isNavigationKey(event.keyCode);
    }));
    auto mouseDown = events_.addGlobalMouseMonitor(MouseEventType::anyMouseDown,
        self_.bind([](TintraInputWitness& self, const MouseEvent&) { self.isTyping_ = false; }));
    for (const auto& token : { keyDown, mouseDown }) {
        if (token)
            monitors_.push_back(*token);
    }
}

void TintraInputWitness::stop()
{
    for (auto token : monitors_)
        events_.removeMonitor(token);
    monitors_.clear();
    isTyping_ = false;
}

} // namespace tintra
