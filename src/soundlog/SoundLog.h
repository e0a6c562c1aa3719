#pragma once

#include "catalogue/ElementSnapshot.h"
#include "catalogue/Event.h"
#include "workspace/RunningApplication.h"
#include "silence/SilenceReason.h"
#include "soundlog/SilencePeriod.h"
#include "soundlog/SoundLogSection.h"
#include "support/Observable.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tintra {

class Accessibility;
class Workspace;

// The last two hours of sounds, one section per application (and one for the
// system), repeats folded into one row, and the periods in which sounds were
// held back. Lives in memory only; main thread only.
class TintraSoundLog {
public:
    using DescribeElement = std::function<std::optional<TintraElementSnapshot>(const AXElement&)>;
    using FindRunningApplication = std::function<std::optional<RunningApplication>(std::int32_t processIdentifier)>;

    // A section's identity as worked out once per process.
    struct Identity {
        TintraSoundLogGroup group;
        std::string name;
        std::optional<std::string> bundleIdentifier;
        std::optional<std::filesystem::path> fileURL;
        std::optional<std::string> version;
    };

    static constexpr std::size_t maximumSections = 10;
    static constexpr std::size_t maximumEntriesPerSection = 20;
    static constexpr std::size_t maximumSilences = 20;
    static constexpr std::size_t maximumDescriptionLength = 200;
    static constexpr std::size_t maximumDetailLines = 80;
    static constexpr std::chrono::seconds window { 7200 };
    static constexpr std::chrono::seconds descriptionInterval { 2 };

    // Describes elements with makeSnapshot (default budget) and finds
    // applications in the workspace; all three must outlive the log.
    TintraSoundLog(Accessibility& accessibility, const Clock& clock, const Workspace& workspace);
    TintraSoundLog(DescribeElement describeElement, FindRunningApplication runningApplication);
    TintraSoundLog(const TintraSoundLog&) = delete;
    TintraSoundLog& operator=(const TintraSoundLog&) = delete;

    // Most recently active first; observers hear of every change.
    const std::vector<TintraSoundLogSection>& sections() const { return sections_.get(); }
    [[nodiscard]] Subscription subscribeToSections(Observable<std::vector<TintraSoundLogSection>>::Observer observer)
    {
        return sections_.subscribe(std::move(observer));
    }
    // Most recent first; observers hear of every change.
    const std::vector<TintraSilencePeriod>& silences() const { return silences_.get(); }
    [[nodiscard]] Subscription subscribeToSilences(Observable<std::vector<TintraSilencePeriod>>::Observer observer)
    {
        return silences_.subscribe(std::move(observer));
    }

    DescribeElement describeElement;
    FindRunningApplication runningApplication;

    // Only for events that started a sound.
    void record(const TintraEvent& event, WallTime date);
    void noteSilence(std::optional<TintraSilenceReason> reason, WallTime date);
    // Drops rows last heard, and periods ended, more than two hours before now.
    void prune(WallTime now);
    // Empties the sections and drops ended periods; a running period stays.
    void clear();
    // The process quit: its identifier may come back for another application.
    void forgetProcess(std::int32_t processIdentifier) { identities_.erase(processIdentifier); }
    // A copy of the sections and periods that no longer changes with this log.
    std::unique_ptr<TintraSoundLog> frozenCopy() const;

    std::optional<TintraSilenceReason> currentSilence() const;
    std::size_t entryCount() const;
    long long hearingCount() const;
    bool hasContent() const;
    // The catalogue's display name of the entry's sound.
    static std::optional<std::string> soundName(const TintraSoundLogEntry& entry);

private:
    Identity identity(const TintraEvent& event);
    void updateElementDescription(TintraSoundLogEntry& entry, const TintraEvent& event, WallTime date) const;
    static void pruneSections(std::vector<TintraSoundLogSection>& sections, WallTime cutoff);

    Observable<std::vector<TintraSoundLogSection>> sections_;
    Observable<std::vector<TintraSilencePeriod>> silences_;
    std::unordered_map<std::int32_t, Identity> identities_;
};

// The name a section shows: `name` unless it is blank, else the location's
// last component (without ".app"), else `fallback`.
std::string sectionDisplayName(const std::optional<std::string>& name,
    const std::optional<std::filesystem::path>& location, const std::string& fallback);

} // namespace tintra
