#include "platform/linux/MainExecutorGlib.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace tintra {
namespace {

// Iterates the default context until `done` or two seconds pass.
template <typename Done>
bool runLoopUntil(Done done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done() && std::chrono::steady_clock::now() < end)
        if (!g_main_context_iteration(g_main_context_default(), FALSE))
            std::this_thread::yield();
    return done();
}

TEST(MainExecutorGlib, PostedWorkRunsOnTheMainThreadInTheOrderOfEveryPoster)
{
    MainExecutorGlib executor;
    const auto mainThread = std::this_thread::get_id();
    std::vector<std::pair<int, int>> ran; // (poster, sequence)
    bool offMainThread = false;
    constexpr int perPoster = 200;

    std::vector<std::thread> posters;
    for (int poster = 1; poster <= 2; ++poster)
        posters.emplace_back([&, poster] {
            for (int sequence = 0; sequence < perPoster; ++sequence)
                executor.post([&, poster, sequence] {
                    offMainThread |= std::this_thread::get_id() != mainThread;
                    ran.emplace_back(poster, sequence);
                });
        });
    // Work posted by the main thread from inside posted work comes after what
    // was already queued, never before it.
    executor.post([&] {
        ran.emplace_back(0, 0);
        executor.post([&] { ran.emplace_back(0, 2); });
    });
    executor.post([&] { ran.emplace_back(0, 1); });
    for (auto& poster : posters)
        poster.join();

    ASSERT_TRUE(runLoopUntil([&] { return ran.size() == 2 * perPoster + 3; }));
    EXPECT_FALSE(offMainThread);
    std::vector<int> next(3, 0);
    for (const auto& [poster, sequence] : ran)
        EXPECT_EQ(sequence, next[poster]++) << "poster " << poster;
}

TEST(MainExecutorGlib, ScheduledWorkRunsAfterItsDelayUnlessCancelled)
{
    MainExecutorGlib executor;
    std::vector<std::string> ran;
    const auto start = executor.monotonicNow();
    Duration waited {};

    executor.schedule(seconds(0.05), [&] {
        ran.push_back("late");
        waited = executor.monotonicNow() - start;
    });
    executor.schedule(seconds(0.01), [&] { ran.push_back("early"); });
    auto cancelled = executor.schedule(seconds(0.02), [&] { ran.push_back("cancelled"); });
    cancelled.cancel();

    ASSERT_TRUE(runLoopUntil([&] { return ran.size() == 2; }));
    EXPECT_EQ(ran, (std::vector<std::string> { "early", "late" }));
    EXPECT_GE(waited, seconds(0.05));
}

TEST(MainExecutorGlib, WorkPendingWhenTheExecutorGoesNeverRuns)
{
    bool ran = false;
    {
        MainExecutorGlib executor;
        executor.post([&] { ran = true; });
        executor.schedule(seconds(0.001), [&] { ran = true; });
    }
    g_usleep(5000);
    while (g_main_context_iteration(g_main_context_default(), FALSE)) {
    }
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace tintra
