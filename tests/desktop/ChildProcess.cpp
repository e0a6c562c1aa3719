#include "desktop/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace tintra {

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Environment& environment,
    const std::optional<std::filesystem::path>& output)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ != 0)
        return;
    setpgid(0, 0);
    for (const auto& [name, value] : environment)
        setenv(name.c_str(), value.c_str(), 1);
    const int sink = output ? open(output->c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644) : open("/dev/null", O_WRONLY);
    dup2(sink, STDOUT_FILENO);
    dup2(sink, STDERR_FILENO);
    const int nothing = open("/dev/null", O_RDONLY);
    dup2(nothing, STDIN_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        stop();
        pid_ = std::exchange(other.pid_, -1);
        status_ = other.status_;
    }
    return *this;
}

bool ChildProcess::isRunning()
{
    return wait(std::chrono::milliseconds(0)) == std::nullopt && pid_ > 0;
}

void ChildProcess::signal(int signal) const
{
    if (pid_ > 0)
        kill(pid_, signal);
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds limit)
{
    if (pid_ <= 0)
        return status_;
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_;
        }
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int ChildProcess::stop(std::chrono::milliseconds grace)
{
    if (pid_ <= 0)
        return status_;
    const pid_t group = pid_;
    kill(-group, SIGCONT); // a stopped program cannot act on SIGTERM
    kill(-group, SIGTERM);
    if (!wait(grace)) {
        kill(-group, SIGKILL);
        wait(std::chrono::milliseconds(5000));
    }
    kill(-group, SIGKILL); // whatever it started and left behind
    return status_;
}

} // namespace tintra
