#include "silence/SilenceReason.h"

#include "support/PlatformTerms.h"

#include <fmt/format.h>

namespace tintra {

std::string_view rawValue(TintraSilenceReason reason)
{
    switch (reason) {
    case TintraSilenceReason::audioHeldBack: return "audioHeldBack";
    case TintraSilenceReason::sharedDisplay: return "sharedDisplay";
    case TintraSilenceReason::gameMode: return "gameMode";
    case TintraSilenceReason::onBattery: return "onBattery";
    case TintraSilenceReason::microphoneInUse: return "microphoneInUse";
    case TintraSilenceReason::videoPlayback: return "videoPlayback";
    case TintraSilenceReason::focus: return "focus";
    case TintraSilenceReason::fullscreenApplication: return "fullscreenApplication";
    }
    return {};
}

std::optional<TintraSilenceReason> silenceReason(std::string_view text)
{
    for (auto reason : allSilenceReasons) {
        if (rawValue(reason) == text)
            return reason;
    }
    return std::nullopt;
}

std::string_view defaultsKey(TintraSilenceReason reason)
{
    switch (reason) {
    case TintraSilenceReason::audioHeldBack: return "TintraMutesForAudioHeldBack";
    case TintraSilenceReason::sharedDisplay: return "TintraMutesForSharedDisplay";
    case TintraSilenceReason::gameMode: return "TintraMutesForGameMode";
    case TintraSilenceReason::onBattery: return "TintraMutesForBatteryPower";
    case TintraSilenceReason::microphoneInUse: return "TintraMutesForMicrophoneInUse";
    case TintraSilenceReason::videoPlayback: return "TintraMutesForVideoPlayback";
    case TintraSilenceReason::focus: return "TintraMutesForFocus";
    case TintraSilenceReason::fullscreenApplication: return "TintraMutesForFullscreenApplication";
    }
    return {};
}

bool isEnabledByDefault(TintraSilenceReason reason)
{
    switch (reason) {
    case TintraSilenceReason::onBattery:
    case TintraSilenceReason::focus:
    case TintraSilenceReason::fullscreenApplication:
        return false;
    default:
        return true;
    }
}

std::string label(TintraSilenceReason reason)
{
    switch (reason) {
    case TintraSilenceReason::audioHeldBack: return "Audio is muted or ducked";
    case TintraSilenceReason::sharedDisplay: return "The screen is mirrored or shared";
    case TintraSilenceReason::gameMode: return "A game has the screen";
    case TintraSilenceReason::onBattery: return "The Mac is on battery power";
    case TintraSilenceReason::microphoneInUse: return "The microphone is in use";
    case TintraSilenceReason::videoPlayback: return "A video is playing";
    case TintraSilenceReason::focus: return "A Focus is active";
    case TintraSilenceReason::fullscreenApplication: return "Any app is fullscreen";
    }
    return {};
}

std::string explanation(TintraSilenceReason reason)
{
    switch (reason) {
    case TintraSilenceReason::audioHeldBack:
        return "The system says this app will not be heard, or the output device is muted or turned all the way down.";
    case TintraSilenceReason::sharedDisplay:
        return "A display is mirrored (a projector, a TV, an AirPlay screen), or something is watching this one over "
               "Screen Sharing or a recording.";
    case TintraSilenceReason::gameMode:
        return fmt::format("{} has started a Game Mode session, or the app in front files itself under Games and has a "
                           "display to itself.",
            platformTerm::operatingSystem);
    case TintraSilenceReason::onBattery:
        return "The power adapter is unplugged. For being out and about, when a laptop announcing every menu you open "
               "is not the impression you were going for. Only on a Mac with a battery to be unplugged from, which is "
               "why a desktop does not have this switch.";
    case TintraSilenceReason::microphoneInUse:
        return "Any input device is recording, whoever is doing it: a call, dictation, a voice memo.";
    case TintraSilenceReason::videoPlayback:
        return "Something is holding the display awake to play a film. Players typically drop that the moment playback "
               "pauses.";
    case TintraSilenceReason::focus:
        return fmt::format("Any Focus, including Do Not Disturb. Needs access to your Focus status, which {} asks about "
                           "once.",
            platformTerm::operatingSystem);
    case TintraSilenceReason::fullscreenApplication:
        return "Any application at all with a display to itself, which for most people is an editor or a browser as "
               "often as it is a game.";
    }
    return {};
}

} // namespace tintra
