#include "engine/SystemEvents.h"

namespace tintra {
namespace {

TintraEvent applicationEvent(const std::string& notificationName, TintraSoundID soundID,
    const RunningApplication& application, WallTime now)
{
    TintraEvent event;
    event.notificationName = notificationName;
    event.soundID = soundID;
    event.processIdentifier = application.processIdentifier;
    event.applicationName = application.localizedName;
    event.detail = application.localizedName;
    event.date = now;
    event.origin = TintraEventOrigin::system;
    event.application = TintraApplicationDescription { application.bundleIdentifier,
        application.bundleURL ? application.bundleURL : application.executableURL, application.version };
    return event;
}

} // namespace

TintraEvent applicationLaunchedEvent(const RunningApplication& application, WallTime now)
{
    return applicationEvent("App Launched", TintraSoundID("flap"), application, now);
}

TintraEvent applicationQuitEvent(const RunningApplication& application, WallTime now)
{
    return applicationEvent("App Quit", TintraSoundID("!aqt"), application, now);
}

TintraEvent sessionEvent(const std::string& notificationName, TintraSoundID soundID, const std::string& text,
    WallTime now)
{
    TintraEvent event;
    event.notificationName = notificationName;
    event.soundID = soundID;
    event.applicationName = text;
    event.detail = text;
    event.date = now;
    event.origin = TintraEventOrigin::system;
    return event;
}

} // namespace tintra
