#pragma once

#include "silence/SilenceContext.h"
#include "silence/SilenceFacts.h"
#include "silence/SilenceReason.h"
#include "windowserver/SkyLightPrivateAPI.h"
#include "support/BackgroundExecutor.h"
#include "support/Clock.h"
#include "support/MainExecutor.h"
#include "support/WeakSelf.h"

#include <functional>
#include <optional>
#include <vector>

namespace tintra {

// The notification a Game Mode session posts its state under.
inline constexpr std::string_view kGameModeNotification = "com.apple.gamepolicy.game-mode-session";
inline constexpr std::string_view kGamesCategory = "public.app-category.games";

// Whether a window of the process, visible and at an ordinary layer or at or
// above the screen-saver layer, covers one display entirely, with 1 point of
// slack on every side.
bool coversDisplay(const std::vector<TintraWindowDescription>& windows, std::int32_t processIdentifier,
    const std::vector<Rect>& displays, std::int64_t screenSaverLevel);

// Answers, one reason at a time, whether it holds right now, from the system
// facts. Every failing fact makes its test answer false. Keeps the Game Mode
// registration and the last Focus state. Main thread only; the Focus state is
// fetched in the background and handed back to the main thread.
class TintraSilenceProbe {
public:
    TintraSilenceProbe(SilenceFacts& facts, SkyLightPrivateAPI& skyLight, const Clock& clock, MainExecutor& main,
        BackgroundExecutor& background);
    ~TintraSilenceProbe();
    TintraSilenceProbe(const TintraSilenceProbe&) = delete;
    TintraSilenceProbe& operator=(const TintraSilenceProbe&) = delete;

    // The monitor's default test of one reason.
    bool holds(TintraSilenceReason reason, const TintraSilenceContext& context);
    // The window list and display bounds, for the window-based reasons.
    TintraSilenceContext captureContext();
    // Whether the machine has an internal battery.
    bool hasBattery();

    bool audioHeldBack();
    bool displayShared();
    bool gameMode(const TintraSilenceContext& context);
    bool onBattery();
    bool microphoneInUse();
    bool displaySleepAssertionHeldByAnotherProcess();
    bool fullscreen(const TintraSilenceContext& context);
    // Answers the last known Focus state at once; starts a background fetch when it is stale.
    bool focusActive();

    // Reads the Focus state on the spot (when the menu opens) and returns it.
    bool fetchFocusNow();
    // When the user has not yet decided, asks for Focus access; the answer makes the state stale.
    void requestFocusAccessIfUndetermined();
    FocusAuthorization focusAuthorizationStatus() { return facts_.focusAuthorizationStatus(); }

    // Called on the main thread when a background fetch finds the Focus state changed.
    void setOnFocusChange(std::function<void()> callback) { onFocusChange_ = std::move(callback); }

    bool lastFocusStatus() const { return lastFocusStatus_; }
    bool isFetchingFocus() const { return isFetchingFocus_; }
    Duration focusFreshness() const { return focusFreshness_; }

private:
    void refreshFocusIfStale();
    bool covers(const TintraSilenceContext& context, std::int32_t processIdentifier);
    std::int64_t screenSaverLevel();

    SilenceFacts& facts_;
    SkyLightPrivateAPI& skyLight_;
    const Clock& clock_;
    MainExecutor& main_;
    BackgroundExecutor& background_;

    const Duration focusFreshness_ = seconds(5);
    std::optional<NotificationToken> gameModeToken_;
    bool didRegisterGameMode_ = false;
    bool lastFocusStatus_ = false;
    std::optional<MonotonicTime> focusFetchedAt_;
    bool isFetchingFocus_ = false;
    std::function<void()> onFocusChange_;
    std::optional<std::int64_t> screenSaverLevel_;
    WeakSelf<TintraSilenceProbe> self_ { *this };
};

} // namespace tintra
