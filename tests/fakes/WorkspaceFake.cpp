#include "WorkspaceFake.h"

namespace tintra {

void WorkspaceFake::launch(RunningApplication application)
{
    running_[application.processIdentifier] = std::move(application);
}

void WorkspaceFake::quit(std::int32_t processIdentifier)
{
    running_.erase(processIdentifier);
    if (frontmost_ == processIdentifier)
        frontmost_.reset();
}

std::optional<RunningApplication> WorkspaceFake::runningApplication(std::int32_t processIdentifier)
{
    ++lookups_;
    const auto found = running_.find(processIdentifier);
    if (found == running_.end())
        return std::nullopt;
    return found->second;
}

std::optional<RunningApplication> WorkspaceFake::frontmostApplication()
{
    if (!frontmost_)
        return std::nullopt;
    const auto found = running_.find(*frontmost_);
    if (found == running_.end())
        return std::nullopt;
    return found->second;
}

} // namespace tintra
