#include "accessibility/AccessibilityContract.h"
#include "fakes/AccessibilityFake.h"
#include "fakes/ManualExecutor.h"

namespace tintra {
namespace {

// The fake as the core's tests script it: one application with one window,
// each action played as an application would play it.
struct FakeWorld {
    static constexpr Duration timeoutSlack = Duration::zero();
    static constexpr std::int32_t pid = 42;

    FakeWorld()
    {
        application_ = ax_.addApplication(pid, { { "AXRole", AXValue::text("AXApplication") } });
        window_ = addWindow();
        ax_.setAttribute(application_, "AXFocusedWindow", AXValue::element(window_));
    }

    std::optional<std::string> skipReason;
    Accessibility& accessibility() { return ax_; }
    std::int32_t processIdentifier() const { return pid; }
    AXElement window() { return window_; }

    void openWindow() { ax_.post(addWindow(), "AXWindowCreated"); }
    void stop() { ax_.setAnswerDelay(pid, seconds(60)); }
    void resume() { ax_.setAnswerDelay(pid, Duration::zero()); }
    void kill()
    {
        for (const auto& window : windows_) {
            ax_.post(*window.get<AXElement>(), "AXUIElementDestroyed");
            ax_.removeElement(*window.get<AXElement>());
        }
    }

    bool runUntil(const std::function<bool()>& done, Duration limit)
    {
        const auto end = clock_.monotonicNow() + limit;
        for (executor_.runPending(); !done(); executor_.runPending()) {
            if (clock_.monotonicNow() >= end)
                return false;
            executor_.advance(seconds(0.01));
        }
        return true;
    }
    Duration timed(const std::function<void()>& call)
    {
        const auto start = clock_.monotonicNow();
        call();
        return clock_.monotonicNow() - start;
    }

private:
    AXElement addWindow()
    {
        const auto window = ax_.addElement(application_, { { "AXRole", AXValue::text("AXWindow") }, { "AXTitle", AXValue::text("Inbox") } });
        windows_.push_back(AXValue::element(window));
        ax_.setAttribute(application_, "AXWindows", AXValue::list(windows_));
        return window;
    }

    ManualClock clock_;
    ManualExecutor executor_ { clock_ };
    AccessibilityFake ax_ { clock_, executor_ };
    AXElement application_;
    AXElement window_;
    AXValue::List windows_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(AccessibilityFake, AccessibilityContract, FakeWorld);

} // namespace
} // namespace tintra
