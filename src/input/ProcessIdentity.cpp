#include "input/ProcessIdentity.h"

namespace tintra {

const ProcessIdentity& ProcessIdentities::identity(std::int32_t processIdentifier)
{
    if (const auto found = cache_.find(processIdentifier); found != cache_.end())
        return found->second;
    ProcessIdentity identity;
    if (auto application = workspace_.runningApplication(processIdentifier))
        identity = { std::move(application->localizedName), std::move(application->bundleIdentifier) };
    return cache_.emplace(processIdentifier, std::move(identity)).first->second;
}

} // namespace tintra
