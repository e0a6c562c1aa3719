#include "platform/linux/MainExecutorGlib.h"

#include "support/MainThread.h"

#include <glib.h>

#include <chrono>
#include <deque>
#include <mutex>
#include <set>

namespace tintra {

struct MainExecutorGlib::State {
    std::mutex mutex;
    std::deque<Work> posted;
    bool drainScheduled = false;
    bool alive = true;
    std::set<GSource*> timeouts; // main thread only
};

struct MainExecutorGlib::Timeout {
    std::weak_ptr<State> state;
    GSource* source;
    ScheduledWork handle;
    Work work;
};

MainExecutorGlib::MainExecutorGlib() : state_(std::make_shared<State>())
{
    MainThread::adoptCurrent();
}

MainExecutorGlib::~MainExecutorGlib()
{
    std::set<GSource*> timeouts;
    {
        std::lock_guard lock(state_->mutex);
        state_->alive = false;
        state_->posted.clear();
        timeouts.swap(state_->timeouts);
    }
    for (GSource* source : timeouts)
        g_source_destroy(source); // frees its Timeout
}

void MainExecutorGlib::post(Work work)
{
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->alive)
            return;
        state_->posted.push_back(std::move(work));
        if (state_->drainScheduled)
            return;
        state_->drainScheduled = true;
    }
    // The idle source holds the state, so a drain that outlives the executor
    // finds it dead instead of freed.
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(
        source,
        [](gpointer data) -> gboolean {
            auto& state = *static_cast<std::shared_ptr<State>*>(data);
            std::deque<Work> batch;
            {
                std::lock_guard lock(state->mutex);
                batch.swap(state->posted);
                state->drainScheduled = false;
            }
            // Work posted while this batch runs goes to a new drain, after it.
            for (auto& work : batch) {
                {
                    std::lock_guard lock(state->mutex);
                    if (!state->alive)
                        return G_SOURCE_REMOVE;
                }
                work();
            }
            return G_SOURCE_REMOVE;
        },
        new std::shared_ptr<State>(state_), [](gpointer data) { delete static_cast<std::shared_ptr<State>*>(data); });
    g_source_attach(source, g_main_context_default());
    g_source_unref(source);
}

ScheduledWork MainExecutorGlib::schedule(Duration delay, Work work)
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(std::max(delay, Duration::zero())).count();
    ScheduledWork handle(std::make_shared<std::atomic<bool>>(false));
    GSource* source = g_timeout_source_new(static_cast<guint>(milliseconds));
    auto* timeout = new Timeout { state_, source, handle, std::move(work) };
    g_source_set_callback(
        source,
        [](gpointer data) -> gboolean {
            auto& timeout = *static_cast<Timeout*>(data);
            if (const auto state = timeout.state.lock())
                state->timeouts.erase(timeout.source);
            if (!timeout.handle.isCancelled())
                timeout.work();
            return G_SOURCE_REMOVE;
        },
        timeout, [](gpointer data) { delete static_cast<Timeout*>(data); });
    state_->timeouts.insert(source);
    g_source_attach(source, g_main_context_default());
    g_source_unref(source);
    return handle;
}

MonotonicTime MainExecutorGlib::monotonicNow() const
{
    return std::chrono::steady_clock::now();
}

} // namespace tintra
