#pragma once

#include "support/MainExecutor.h"

#include <memory>

namespace tintra {

// The main executor over GLib's default main context, the one Qt's event
// dispatcher iterates and libatspi, GDBus, libpulse and the X11 watches attach
// to, so that everything "main thread only" runs on one loop.
//
// Made on the main thread, which it adopts as such. `post` keeps the order of
// work posted from every thread (one queue, drained by an idle source), also
// when the poster is the main thread itself. `schedule` is for the main thread;
// its delay counts on the monotonic clock that GLib's timeouts use. Work still
// pending when the executor goes is dropped, never run.
class MainExecutorGlib final : public MainExecutor {
public:
    MainExecutorGlib();
    ~MainExecutorGlib() override;
    MainExecutorGlib(const MainExecutorGlib&) = delete;
    MainExecutorGlib& operator=(const MainExecutorGlib&) = delete;

    void post(Work work) override;
    ScheduledWork schedule(Duration delay, Work work) override;
    MonotonicTime monotonicNow() const override;

private:
    struct State;
    struct Timeout;
    std::shared_ptr<State> state_;
};

} // namespace tintra
