#pragma once

#include "engine/Controller.h"
#include "platform/linux/MainExecutorGlib.h"
#include "silence/SilenceMonitor.h"
#include "support/BackgroundExecutor.h"
#include "support/DefaultsFile.h"

#include <memory>

namespace tintra {

// The one place that knows which adapter serves which port: it builds every
// Linux adapter, the settings store, the silence monitor and the controller,
// in the order they need each other, and takes them down in reverse.
// Made on the main thread after the Qt application.
class TintraComposition {
public:
    TintraComposition();
    ~TintraComposition();
    TintraComposition(const TintraComposition&) = delete;
    TintraComposition& operator=(const TintraComposition&) = delete;

    MainExecutor& executor() { return executor_; }
    Defaults& defaults() { return defaults_; }
    TintraSilenceMonitor& silence() { return *silence_; }
    TintraController& controller() { return *controller_; }
    Accessibility& accessibility();

private:
    struct Adapters;

    MainExecutorGlib executor_;
    BackgroundExecutor background_ { executor_ };
    DefaultsFile defaults_;
    std::unique_ptr<Adapters> adapters_;
    std::unique_ptr<TintraSilenceMonitor> silence_;
    std::unique_ptr<TintraController> controller_;
};

} // namespace tintra
