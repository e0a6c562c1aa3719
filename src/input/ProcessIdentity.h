#pragma once

#include "workspace/Workspace.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tintra {

// A process's application name and bundle identifier, either possibly absent.
struct ProcessIdentity {
    std::optional<std::string> name;
    std::optional<std::string> bundleIdentifier;
    friend bool operator==(const ProcessIdentity&, const ProcessIdentity&) = default;
};

// Whether sounds for an application with that bundle identifier (possibly
// unknown) are held back; asked at every event, so a change takes effect at once.
using ExclusionTest = std::function<bool(std::optional<std::string_view> bundleIdentifier)>;

// Identities per process, so that the workspace is asked once per process.
// An unknown process is remembered too, with both parts absent. Holds
// identities, never decisions: exclusions are asked afresh each time.
class ProcessIdentities {
public:
    explicit ProcessIdentities(Workspace& workspace) : workspace_(workspace) {}

    const ProcessIdentity& identity(std::int32_t processIdentifier);
    void forget(std::int32_t processIdentifier) { cache_.erase(processIdentifier); }
    void forgetAll() { cache_.clear(); }
    std::size_t size() const { return cache_.size(); }

private:
    Workspace& workspace_;
    std::unordered_map<std::int32_t, ProcessIdentity> cache_;
};

} // namespace tintra
