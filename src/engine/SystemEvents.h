#pragma once

#include "catalogue/Event.h"
#include "workspace/RunningApplication.h"
#include "support/Clock.h"

#include <string>

namespace tintra {

// "App Launched" for an application that appeared.
TintraEvent applicationLaunchedEvent(const RunningApplication& application, WallTime now);
// "App Quit" for an application that went away.
TintraEvent applicationQuitEvent(const RunningApplication& application, WallTime now);
// "Logging Out" or "Logged In", with the session's text as name and detail.
TintraEvent sessionEvent(const std::string& notificationName, TintraSoundID soundID, const std::string& text,
    WallTime now);

} // namespace tintra
