#include "app/Composition.h"

#include "platform/linux/SilenceFactsLinux.h"
#include "platform/linux/WorkspaceLinux.h"
#include "platform/linux/atspi/AccessibilityAtspi.h"
#include "platform/linux/files/DiskArbitrationLinux.h"
#include "platform/linux/files/FileBookmarksLinux.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "platform/linux/files/SoundTypeRegistryLinux.h"
#include "platform/linux/pulse/AudioOutputPulse.h"
#include "platform/linux/qt/ClickSparkOverlayQt.h"
#include "platform/linux/x11/InputEventsX11.h"
#include "platform/linux/x11/KeyboardHardwareX11.h"
#include "platform/linux/x11/ScreenGeometryX11.h"

#include <QCoreApplication>

#include <cstdlib>

namespace tintra {

struct TintraComposition::Adapters {
    explicit Adapters(MainExecutor& executor)
        : accessibility(executor)
        , workspace(&accessibility)
        , inputEvents(executor)
        , silenceFacts(executor)
    {
    }

    FileBookmarksLinux bookmarks;
    SoundTypeRegistryLinux soundTypes;
    AudioOutputPulse audio;
    ClickSparkOverlayQt sparks;
    AccessibilityAtspi accessibility;
    WorkspaceLinux workspace;
    InputEventsX11 inputEvents;
    KeyboardHardwareX11 keyboards;
    ScreenGeometryX11 screens;
    DiskArbitrationLinux disks;
    SilenceFactsLinux silenceFacts;
};

TintraComposition::TintraComposition()
    : defaults_(DefaultsFile::standardFolder(), DefaultsFile::standardDomain())
    , adapters_(std::make_unique<Adapters>(executor_))
{
    auto& a = *adapters_;
    auto probe = std::make_unique<TintraSilenceProbe>(a.silenceFacts, a.silenceFacts.skyLight(), SystemClock::shared(), executor_, background_);
    const bool hasBattery = probe->hasBattery();
    silence_ = std::make_unique<TintraSilenceMonitor>(defaults_, std::move(probe), hasBattery, SystemClock::shared());

    auto library = std::make_unique<TintraLibrary>(standardLibraryDirectory(), standardBuiltInDirectory(), a.soundTypes);
    auto assignments = std::make_unique<TintraAssignments>(defaults_, a.bookmarks, a.soundTypes);
    // No Linux application is known to misbehave under observation, so none is left out by default.
    auto exclusions = std::make_unique<TintraExclusions>(defaults_, TintraExclusions::DefaultTable {});
    const char* home = std::getenv("HOME");
    TintraController::Environment environment { a.accessibility, a.workspace, a.inputEvents, a.keyboards, a.audio,
        a.screens, a.disks, a.sparks, executor_, background_, SystemClock::shared(), home ? home : "/",
        QCoreApplication::applicationVersion().toStdString() };
    controller_ = std::make_unique<TintraController>(std::move(environment), std::move(library),
        std::move(assignments), std::move(exclusions), defaults_, *silence_);
}

Accessibility& TintraComposition::accessibility()
{
    return adapters_->accessibility;
}

TintraComposition::~TintraComposition()
{
    // The controller reaches the monitor and every adapter until it goes.
    controller_.reset();
    silence_.reset();
    adapters_.reset();
}

} // namespace tintra
