#include "engine/AfflictedApplication.h"

#include "engine/Exclusions.h"
#include "support/NumberFormat.h"
#include "support/Text.h"

#include <algorithm>

namespace tintra {
namespace {

namespace fs = std::filesystem;

// An application's file without the extension that marks it as one: an
// ".app" bundle, or on Linux a ".desktop" entry.
std::string applicationFileName(const fs::path& file)
{
    const auto extension = lowercased(file.extension().string());
    return extension == ".app" || extension == ".desktop" ? file.stem().string() : file.filename().string();
}

std::string runningName(const RunningApplication& application, const std::optional<fs::path>& fileURL)
{
    if (application.localizedName && !trimmingWhitespace(*application.localizedName).empty())
        return *application.localizedName;
    if (fileURL) {
        if (auto name = applicationFileName(*fileURL); !name.empty())
            return name;
    }
    if (application.bundleIdentifier)
        return *application.bundleIdentifier;
    return "pid " + std::to_string(application.processIdentifier);
}

bool isListed(const RunningApplication& application, std::int32_t hostProcessIdentifier)
{
    return application.processIdentifier != hostProcessIdentifier && application.processIdentifier >= 1
        && !application.isTerminated && application.activationPolicy != ActivationPolicy::prohibited;
}

template <typename Value>
std::optional<Value> valueFor(const std::map<std::int32_t, Value>& values, std::int32_t processIdentifier)
{
    const auto found = values.find(processIdentifier);
    return found == values.end() ? std::nullopt : std::optional(found->second);
}

TintraAfflictedApplication runningRow(const RunningApplication& application, std::optional<int> observed,
    std::optional<TintraAttachTimeout> timeout, const TintraExclusions& exclusions)
{
    TintraAfflictedApplication row;
    row.bundleIdentifier = application.bundleIdentifier;
    row.fileURL = application.bundleURL ? application.bundleURL : application.executableURL;
    row.name = runningName(application, row.fileURL);
    row.processIdentifier = application.processIdentifier;
    row.iconURL = application.iconURL;
    if (application.bundleIdentifier) {
        row.isExcluded = exclusions.isExcluded(*application.bundleIdentifier);
        if (const auto byDefault = exclusions.defaultExclusion(*application.bundleIdentifier))
            row.defaultExclusionReason = byDefault->reason;
    }
    row.isObserved = observed.has_value();
    row.registeredNotificationCount = observed.value_or(0);
    row.timeout = timeout;
    return row;
}

TintraAfflictedApplication excludedRow(const TintraExclusion& exclusion, const TintraExclusions& exclusions,
    const FindInstalledApplication& findInstalledApplication)
{
    TintraAfflictedApplication row;
    row.bundleIdentifier = exclusion.bundleIdentifier;
    const auto installed = findInstalledApplication(exclusion.bundleIdentifier);
    if (installed) {
        row.fileURL = installed->fileURL;
        row.iconURL = installed->iconURL;
    }
    row.name = trimmingWhitespace(exclusion.name);
    if (row.name.empty() && installed)
        row.name = applicationFileName(installed->fileURL);
    if (row.name.empty())
        row.name = exclusion.bundleIdentifier;
    row.isExcluded = true;
    if (const auto byDefault = exclusions.defaultExclusion(exclusion.bundleIdentifier))
        row.defaultExclusionReason = byDefault->reason;
    return row;
}

} // namespace

std::string TintraAfflictedApplication::id() const
{
    return bundleIdentifier ? *bundleIdentifier : "pid:" + std::to_string(processIdentifier.value_or(0));
}

std::string TintraAfflictedApplication::statusText() const
{
    if (isExcluded)
        return std::string(defaultExclusionReason ? "Excluded by default" : "Excluded")
            + (processIdentifier ? "" : ", not running");
    if (!processIdentifier)
        return "Not running";
    if (!isObserved)
        return "Not observed";
    return std::to_string(registeredNotificationCount) + " notifications";
}

std::string TintraAfflictedApplication::helpText() const
{
    if (!bundleIdentifier)
        return "This process has no bundle identifier, so there is nothing to key an exclusion on.";
    if (defaultExclusionReason)
        return "Excluded by Tintra Dorvel rather than by you: " + *defaultExclusionReason + " Include it to hear it "
            + "anyway (that is remembered too).";
    return "Exclusions are remembered by bundle identifier.";
}

std::optional<std::string> TintraAfflictedApplication::timeoutText() const
{
    if (!timeout)
        return std::nullopt;
    return "Did not answer in time. The attach was abandoned after " + formattedNumber(timeout->duration, 1)
        + " s, with " + std::to_string(timeout->registeredNotificationCount)
        + " of its notifications registered, so this app " + "is only partly wired up. Rescan to try again.";
}

std::vector<TintraAfflictedApplication> buildAfflictedApplications(const std::vector<RunningApplication>& running,
    std::int32_t hostProcessIdentifier, const std::map<std::int32_t, int>& registeredNotificationCountByObservedProcess,
    const std::map<std::int32_t, TintraAttachTimeout>& timeouts, const TintraExclusions& exclusions,
    const FindInstalledApplication& findInstalledApplication)
{
    std::vector<TintraAfflictedApplication> rows;
    std::map<std::string, std::size_t, std::less<>> rowByBundleIdentifier;
    for (const auto& application : running) {
        if (!isListed(application, hostProcessIdentifier))
            continue;
        const auto observed = valueFor(registeredNotificationCountByObservedProcess, application.processIdentifier);
        const auto timeout = valueFor(timeouts, application.processIdentifier);
        if (application.bundleIdentifier) {
            if (const auto found = rowByBundleIdentifier.find(*application.bundleIdentifier);
                found != rowByBundleIdentifier.end()) {
                auto& first = rows[found->second];
                first.isObserved = first.isObserved || observed.has_value();
                first.registeredNotificationCount += observed.value_or(0);
                if (!first.timeout)
                    first.timeout = timeout;
                continue;
            }
            rowByBundleIdentifier.emplace(*application.bundleIdentifier, rows.size());
        }
        rows.push_back(runningRow(application, observed, timeout, exclusions));
    }
    for (const auto& exclusion : exclusions.exclusions())
        if (!rowByBundleIdentifier.contains(exclusion.bundleIdentifier))
            rows.push_back(excludedRow(exclusion, exclusions, findInstalledApplication));
    std::stable_sort(rows.begin(), rows.end(),
        [](const auto& a, const auto& b) { return localizedStandardLess(a.name, b.name); });
    return rows;
}

std::string afflictedSummary(const std::vector<TintraAfflictedApplication>& rows, bool isRunning)
{
    const auto count = [&](auto predicate) { return std::count_if(rows.begin(), rows.end(), predicate); };
    const auto excluded = count([](const auto& row) { return row.isExcluded; });
    if (!isRunning)
        return "Sounds are switched off, so nothing is being observed. " + std::to_string(excluded) + " excluded.";
    const auto observed = count([](const auto& row) { return row.isObserved; });
    const auto timedOut = count([](const auto& row) { return row.timeout.has_value(); });
    auto summary = "Observing " + std::to_string(observed) + " of " + std::to_string(std::ptrdiff_t(rows.size()) - excluded)
        + " apps, " + std::to_string(excluded) + " excluded";
    if (timedOut > 0)
        summary += ", " + std::to_string(timedOut) + " timed out";
    return summary + ".";
}

} // namespace tintra
