#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tintra {

// A program a desktop test starts, in a process group of its own so that
// stopping it also stops whatever it started. It inherits this process's
// environment plus `environment`; its output goes to `output` or nowhere.
// Stopped by its process id when it goes, if still running.
class ChildProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    ChildProcess() = default;
    ChildProcess(const std::vector<std::string>& arguments, const Environment& environment = {},
        const std::optional<std::filesystem::path>& output = {});
    ~ChildProcess() { stop(); }
    ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)), status_(other.status_) {}
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool isRunning();
    // Sends `signal` to the program alone (SIGSTOP, SIGCONT, …).
    void signal(int signal) const;
    // Waits for the program to end by itself; its exit status, or nothing
    // when it still runs after `limit`.
    std::optional<int> wait(std::chrono::milliseconds limit);
    // SIGTERM to the group, SIGKILL after `grace`; the exit status.
    int stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

private:
    pid_t pid_ = -1;
    int status_ = 0;
};

} // namespace tintra
