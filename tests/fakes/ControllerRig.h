#pragma once

#include "engine/Controller.h"
#include "fakes/AccessibilityFake.h"
#include "fakes/AudioOutputFake.h"
#include "fakes/ClickSparkOverlayFake.h"
#include "fakes/DefaultsMemory.h"
#include "fakes/DiskArbitrationFake.h"
#include "fakes/FileBookmarksFake.h"
#include "fakes/InputEventsFake.h"
#include "fakes/KeyboardHardwareFake.h"
#include "fakes/ManualExecutor.h"
#include "fakes/ScreenGeometryFake.h"
#include "fakes/SilenceFactsFake.h"
#include "fakes/SkyLightPrivateAPIFake.h"
#include "fakes/SoundTypeRegistryFake.h"
#include "fakes/TemporaryFolder.h"
#include "fakes/WorkspaceFake.h"
#include "support/BackgroundExecutor.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tintra::testing {

// The whole controller on the fakes, with this application itself running.
// Settings, the home directory and the library are set up before make().
struct ControllerRig {
    static constexpr std::int32_t host = 1;

    ControllerRig();
    ~ControllerRig();

    // A sound set in the user's library folder with a file for each sound.
    std::filesystem::path installSet(const std::string& identifier, const std::vector<TintraSoundID>& sounds);
    TintraController& make();
    // An application with an interface: its accessibility root, then its launch.
    AXElement launch(std::int32_t processIdentifier, const std::string& name, const std::string& bundleIdentifier,
        ActivationPolicy policy = ActivationPolicy::regular);
    // Every scheduled step due within the next `duration`.
    void run(Duration duration = Duration::zero()) { executor.advance(duration); }
    // The sounds that started, by file.
    int startsOf(const std::filesystem::path& file) const;

    ManualClock clock;
    ManualExecutor executor { clock };
    AccessibilityFake accessibility { clock, executor };
    WorkspaceFake workspace { host };
    InputEventsFake inputEvents;
    KeyboardHardwareFake keyboards;
    AudioOutputFake audio;
    ScreenGeometryFake screens;
    DiskArbitrationFake disks;
    ClickSparkOverlayFake sparks;
    DefaultsMemory defaults;
    SilenceFactsFake facts;
    SkyLightPrivateAPIFake skyLight;
    BackgroundExecutor background { executor };
    FileBookmarksFake bookmarks;
    SoundTypeRegistryFake types;
    TemporaryFolder folder;
    std::filesystem::path home = "/home/tester";
    std::string shortVersion = "1.0";
    std::set<TintraSilenceReason> holding; // reasons for silence that hold now
    std::unique_ptr<TintraSilenceMonitor> silence;
    std::unique_ptr<TintraController> controller;
};

} // namespace tintra::testing
