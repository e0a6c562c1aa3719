#pragma once

#include "engine/Workspace.h"

#include <map>

namespace tintra {

// Running applications the test lists; counts lookups so tests can see what
// is asked again.
class WorkspaceFake final : public Workspace {
public:
    void launch(RunningApplication application) { applications_[application.processIdentifier] = std::move(application); }
    void quit(std::int32_t processIdentifier) { applications_.erase(processIdentifier); }
    int lookupCount() const { return lookups_; }

    std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) const override
    {
        ++lookups_;
        const auto found = applications_.find(processIdentifier);
        if (found == applications_.end())
            return std::nullopt;
        return found->second;
    }

private:
    std::map<std::int32_t, RunningApplication> applications_;
    mutable int lookups_ = 0;
};

} // namespace tintra
