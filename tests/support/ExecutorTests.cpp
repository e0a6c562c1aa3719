#include "fakes/ManualExecutor.h"
#include "support/BackgroundExecutor.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace tintra {
namespace {

using std::chrono::milliseconds;

TEST(ManualExecutor, ScheduledWorkRunsAtItsDueTimeInDueOrder)
{
    ManualClock clock;
    ManualExecutor executor(clock);
    const auto start = clock.monotonicNow();
    std::vector<std::pair<std::string, Duration>> ran;
    const auto record = [&](std::string name) {
        return [&, name] { ran.emplace_back(name, clock.monotonicNow() - start); };
    };

    executor.schedule(seconds(0.5), record("half"));
    executor.schedule(seconds(0.25), record("quarter"));
    executor.schedule(seconds(0.25), record("quarter again"));
    executor.post(record("posted"));

    executor.advance(seconds(0.3));
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0], std::make_pair(std::string("posted"), Duration::zero()));
    EXPECT_EQ(ran[1], std::make_pair(std::string("quarter"), seconds(0.25)));
    EXPECT_EQ(ran[2].first, "quarter again");
    EXPECT_EQ(clock.monotonicNow() - start, seconds(0.3));

    executor.advance(seconds(0.2));
    ASSERT_EQ(ran.size(), 4u);
    EXPECT_EQ(ran[3], std::make_pair(std::string("half"), seconds(0.5)));
}

TEST(ManualExecutor, CancelledWorkNeverRunsAndWorkMayScheduleMore)
{
    ManualClock clock;
    ManualExecutor executor(clock);
    int repeats = 0;
    std::function<void()> repeat = [&] {
        if (++repeats < 3)
            executor.schedule(seconds(1), repeat);
    };
    executor.schedule(seconds(1), repeat);
    bool cancelledRan = false;
    auto handle = executor.schedule(seconds(2), [&] { cancelledRan = true; });
    handle.cancel();

    executor.advance(seconds(10));
    EXPECT_EQ(repeats, 3);
    EXPECT_FALSE(cancelledRan);
    EXPECT_EQ(executor.scheduledCount(), 0u);
}

TEST(BackgroundExecutor, RunsOffTheMainThreadAndHandsTheResultBackThroughMain)
{
    ManualClock clock;
    ManualExecutor main(clock);
    BackgroundExecutor background(main);
    const auto mainThread = std::this_thread::get_id();
    std::thread::id workThread;
    std::string result;

    background.run(
        [&] {
            workThread = std::this_thread::get_id();
            return std::string("decoded");
        },
        [&](std::string value) { result = std::move(value); });

    ASSERT_TRUE(main.waitForPost(milliseconds(5000)));
    EXPECT_TRUE(result.empty()); // nothing reaches the caller until the main executor runs
    main.runPending();
    EXPECT_EQ(result, "decoded");
    EXPECT_NE(workThread, mainThread);
}

} // namespace
} // namespace tintra
