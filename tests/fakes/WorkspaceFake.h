#pragma once

#include "engine/Workspace.h"

#include <map>

namespace tintra {

// Running applications in memory. Counts lookups so that tests can see caches work.
class WorkspaceFake final : public Workspace {
public:
    explicit WorkspaceFake(std::int32_t hostProcessIdentifier = 1) : host_(hostProcessIdentifier) {}

    void launch(RunningApplication application);
    void quit(std::int32_t processIdentifier);
    // Nothing in front when absent; only a launched application can be in front.
    void setFrontmost(std::optional<std::int32_t> processIdentifier) { frontmost_ = processIdentifier; }

    int lookupCount() const { return lookups_; }

    std::int32_t hostProcessIdentifier() const override { return host_; }
    std::optional<RunningApplication> runningApplication(std::int32_t processIdentifier) override;
    std::optional<RunningApplication> frontmostApplication() override;

private:
    std::int32_t host_;
    std::map<std::int32_t, RunningApplication> running_;
    std::optional<std::int32_t> frontmost_;
    int lookups_ = 0;
};

} // namespace tintra
