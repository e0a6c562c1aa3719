#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tintra {

// The states of the desktop in which sounds are held back, each with its own
// switch. Declared in the order in which they are tested.
enum class TintraSilenceReason {
    audioHeldBack,
    sharedDisplay,
    gameMode,
    onBattery,
    microphoneInUse,
    videoPlayback,
    focus,
    fullscreenApplication,
};

inline constexpr std::array<TintraSilenceReason, 8> allSilenceReasons {
    TintraSilenceReason::audioHeldBack,
    TintraSilenceReason::sharedDisplay,
    TintraSilenceReason::gameMode,
    TintraSilenceReason::onBattery,
    TintraSilenceReason::microphoneInUse,
    TintraSilenceReason::videoPlayback,
    TintraSilenceReason::focus,
    TintraSilenceReason::fullscreenApplication,
};

// The case name: "audioHeldBack", …
std::string_view rawValue(TintraSilenceReason reason);
std::optional<TintraSilenceReason> silenceReason(std::string_view rawValue);

// Where its switch is stored ("TintraMutesForAudioHeldBack", …) and its value when nothing is.
std::string_view defaultsKey(TintraSilenceReason reason);
bool isEnabledByDefault(TintraSilenceReason reason);

// The short line of switches and the menu ("Audio is muted or ducked").
std::string label(TintraSilenceReason reason);
// The switch's help text and the status summary's long text.
std::string explanation(TintraSilenceReason reason);

} // namespace tintra
