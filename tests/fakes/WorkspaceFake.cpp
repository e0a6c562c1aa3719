#include "WorkspaceFake.h"

#include <algorithm>

namespace tintra {

void WorkspaceFake::launch(RunningApplication application)
{
    if (auto existing = find(application.processIdentifier); existing != running_.end())
        *existing = std::move(application);
    else
        running_.push_back(std::move(application));
    runningApplicationsChanged();
}

void WorkspaceFake::quit(std::int32_t processIdentifier)
{
    std::erase_if(running_, [&](const auto& each) { return each.processIdentifier == processIdentifier; });
    if (frontmost_ == processIdentifier)
        frontmost_.reset();
    runningApplicationsChanged();
}

void WorkspaceFake::terminate(std::int32_t processIdentifier)
{
    if (auto found = find(processIdentifier); found != running_.end())
        found->isTerminated = true;
}

void WorkspaceFake::install(const std::string& bundleIdentifier, std::filesystem::path url,
    std::optional<std::filesystem::path> icon)
{
    if (icon)
        icons_[url] = std::move(*icon);
    installed_[bundleIdentifier] = std::move(url);
}

void WorkspaceFake::post(WorkspaceNotification notification, VolumeNotification volume)
{
    auto snapshot = notificationObservers_;
    for (const auto& [kind, weak] : snapshot) {
        if (kind != notification)
            continue;
        if (auto observer = weak.lock())
            (*observer)(volume);
    }
}

std::size_t WorkspaceFake::observerCount() const
{
    const auto live = [](const auto& weak) { return !weak.expired(); };
    return std::count_if(runningObservers_.begin(), runningObservers_.end(), live)
        + std::count_if(notificationObservers_.begin(), notificationObservers_.end(),
            [&](const auto& pair) { return live(pair.second); });
}

std::optional<RunningApplication> WorkspaceFake::runningApplication(std::int32_t processIdentifier) const
{
    ++lookups_;
    const auto found = find(processIdentifier);
    if (found == running_.end())
        return std::nullopt;
    return *found;
}

std::optional<RunningApplication> WorkspaceFake::frontmostApplication() const
{
    if (!frontmost_)
        return std::nullopt;
    const auto found = find(*frontmost_);
    if (found == running_.end())
        return std::nullopt;
    return *found;
}

std::optional<std::filesystem::path> WorkspaceFake::urlForApplication(const std::string& bundleIdentifier) const
{
    const auto found = installed_.find(bundleIdentifier);
    if (found == installed_.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::filesystem::path> WorkspaceFake::iconForFile(const std::filesystem::path& file) const
{
    const auto found = icons_.find(file);
    if (found == icons_.end())
        return std::nullopt;
    return found->second;
}

Subscription WorkspaceFake::observeRunningApplications(std::function<void()> observer)
{
    auto shared = std::make_shared<std::function<void()>>(std::move(observer));
    std::erase_if(runningObservers_, [](const auto& weak) { return weak.expired(); });
    runningObservers_.push_back(shared);
    return Subscription(std::move(shared));
}

Subscription WorkspaceFake::observe(WorkspaceNotification notification, NotificationObserver observer)
{
    auto shared = std::make_shared<NotificationObserver>(std::move(observer));
    std::erase_if(notificationObservers_, [](const auto& pair) { return pair.second.expired(); });
    notificationObservers_.emplace_back(notification, shared);
    return Subscription(std::move(shared));
}

std::vector<RunningApplication>::iterator WorkspaceFake::find(std::int32_t processIdentifier)
{
    return std::find_if(running_.begin(), running_.end(),
        [&](const auto& each) { return each.processIdentifier == processIdentifier; });
}

std::vector<RunningApplication>::const_iterator WorkspaceFake::find(std::int32_t processIdentifier) const
{
    return std::find_if(running_.begin(), running_.end(),
        [&](const auto& each) { return each.processIdentifier == processIdentifier; });
}

void WorkspaceFake::runningApplicationsChanged()
{
    auto snapshot = runningObservers_;
    for (const auto& weak : snapshot) {
        if (auto observer = weak.lock())
            (*observer)();
    }
}

} // namespace tintra
