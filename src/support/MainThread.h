#pragma once

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tintra {

// The thread on which everything "main thread only" runs. The main executor
// adopts the thread that makes it; until something does, nothing is checked.
class MainThread {
public:
    static void adoptCurrent() { id() = std::this_thread::get_id(); }
    static bool isCurrent() { return id() == std::thread::id {} || id() == std::this_thread::get_id(); }

private:
    static std::thread::id& id()
    {
        static std::thread::id mainThread;
        return mainThread;
    }
};

} // namespace tintra

// At the entry of every operation that the main thread alone may call. A call
// from another thread is a race on state that has no lock, so it stops the
// process where it happens rather than corrupting it later. Checked in builds
// without NDEBUG (the sanitizer build among them).
#ifdef NDEBUG
#define TINTRA_ASSERT_MAIN_THREAD() ((void)0)
#else
#define TINTRA_ASSERT_MAIN_THREAD()                                                                 \
    do {                                                                                            \
        if (!::tintra::MainThread::isCurrent()) {                                                   \
            std::fprintf(stderr, "%s:%d: %s called off the main thread\n", __FILE__, __LINE__, __func__); \
            std::abort();                                                                           \
        }                                                                                           \
    } while (false)
#endif
