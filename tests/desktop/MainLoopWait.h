#pragma once

#include <glib.h>

#include <chrono>
#include <functional>
#include <thread>

namespace tintra {

// Runs GLib's default main context until `done` holds or `limit` passes;
// whether it held. The limit is generous because the machine may be loaded.
inline bool iterateUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Lets whatever is already on its way arrive: `quiet` of an idle loop.
inline void iterateFor(std::chrono::milliseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    iterateUntil([&] { return std::chrono::steady_clock::now() > end; }, span + std::chrono::seconds(1));
}

} // namespace tintra
