// From a mount to the workspace's didMount, through the watch on the mount
// table; needs the right to mount (root).
#include "platform/linux/WorkspaceLinux.h"

#include <benchmark/benchmark.h>
#include <glib.h>

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace tintra {
namespace {

void BM_MountToDidMount(benchmark::State& state)
{
    const auto folder = std::filesystem::path("/media") / ("tintra-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    WorkspaceLinux workspace;
    int mounts = 0;
    int unmounts = 0;
    auto onMount = workspace.observe(WorkspaceNotification::didMount, [&](const VolumeNotification&) { ++mounts; });
    auto onUnmount = workspace.observe(WorkspaceNotification::didUnmount, [&](const VolumeNotification&) { ++unmounts; });
    std::vector<double> microseconds;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (mount("tintra-bench", folder.c_str(), "tmpfs", 0, "size=1m") != 0) {
            state.SkipWithError("the kernel refused to mount a tmpfs");
            break;
        }
        while (mounts == int(microseconds.size()))
            g_main_context_iteration(nullptr, TRUE);
        microseconds.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        umount(folder.c_str());
        while (unmounts < mounts)
            g_main_context_iteration(nullptr, TRUE);
        state.ResumeTiming();
    }
    std::filesystem::remove(folder);
    if (microseconds.empty())
        return;
    std::sort(microseconds.begin(), microseconds.end());
    state.counters["p50_us"] = microseconds[microseconds.size() / 2];
}
BENCHMARK(BM_MountToDidMount)->Unit(benchmark::kMicrosecond)->Iterations(100);

} // namespace
} // namespace tintra
