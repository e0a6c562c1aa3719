#include "soundlog/SoundLog.h"

#include "catalogue/Catalogue.h"
#include "accessibility/Accessibility.h"
#include "workspace/Workspace.h"
#include "support/Text.h"

#include <algorithm>
#include <numeric>

namespace tintra {
namespace {

bool isBlank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; });
}

bool isEmpty(const TintraApplicationDescription& description)
{
    return !description.bundleIdentifier && !description.fileURL && !description.version;
}

template <typename T>
void keepFirst(std::vector<T>& items, std::size_t count)
{
    if (items.size() > count)
        items.erase(items.begin() + std::ptrdiff_t(count), items.end());
}

} // namespace

std::string sectionDisplayName(const std::optional<std::string>& name,
    const std::optional<std::filesystem::path>& location, const std::string& fallback)
{
    if (name && !isBlank(*name))
        return *name;
    if (location) {
        auto component = location->filename();
        if (component.empty())
            component = location->parent_path().filename();
        if (lowercased(component.extension().string()) == ".app")
            component = component.stem();
        if (!component.empty())
            return component.string();
    }
    return fallback;
}

TintraSoundLog::TintraSoundLog(Accessibility& accessibility, const Clock& clock, const Workspace& workspace)
    : TintraSoundLog(
        [&accessibility, &clock](const AXElement& element) { return makeSnapshot(accessibility, clock, element); },
        [&workspace](std::int32_t processIdentifier) { return workspace.runningApplication(processIdentifier); })
{
}

TintraSoundLog::TintraSoundLog(DescribeElement describe, FindRunningApplication find)
    : describeElement(std::move(describe))
    , runningApplication(std::move(find))
{
}

TintraSoundLog::Identity TintraSoundLog::identity(const TintraEvent& event)
{
    if (event.origin == TintraEventOrigin::system)
        return { TintraSoundLogGroup::system(), "System", std::nullopt, std::nullopt, std::nullopt };
    if (auto known = identities_.find(event.processIdentifier); known != identities_.end())
        return known->second;

    const auto application = runningApplication(event.processIdentifier);
    Identity identity { TintraSoundLogGroup::system(), {}, std::nullopt, std::nullopt, std::nullopt };
    if (application) {
        identity.bundleIdentifier = application->bundleIdentifier;
        identity.fileURL = application->bundleURL ? application->bundleURL : application->executableURL;
        identity.version = application->version;
    }
    const auto pid = std::to_string(event.processIdentifier);
    identity.group = TintraSoundLogGroup::application(identity.bundleIdentifier.value_or("pid:" + pid));
    const auto& name = application && application->localizedName ? application->localizedName : event.applicationName;
    identity.name = sectionDisplayName(name, identity.fileURL, identity.bundleIdentifier.value_or("pid " + pid));
    identities_.emplace(event.processIdentifier, identity);
    return identity;
}

void TintraSoundLog::record(const TintraEvent& event, WallTime date)
{
    const auto sectionIdentity = identity(event);
    auto sections = sections_.get();
    const auto existing = std::find_if(sections.begin(), sections.end(),
        [&](const TintraSoundLogSection& candidate) { return candidate.group == sectionIdentity.group; });
    auto section = existing != sections.end()
        ? std::move(*existing)
        : TintraSoundLogSection { sectionIdentity.group, sectionIdentity.name, sectionIdentity.bundleIdentifier,
              sectionIdentity.fileURL, sectionIdentity.version, {} };
    if (existing != sections.end())
        sections.erase(existing);

    TintraSoundLogEntry entry;
    entry.eventName = event.notificationName;
    entry.soundID = event.soundID;
    entry.detail = event.detail;
    entry.disk = event.disk;
    entry.application = event.application;
    entry.firstDate = date;
    entry.lastDate = date;
    const auto heard = entry.identity();
    const auto same = std::find_if(section.entries.begin(), section.entries.end(),
        [&](const TintraSoundLogEntry& candidate) { return candidate.identity() == heard; });
    const bool added = same == section.entries.end();
    if (!added) {
        entry = std::move(*same);
        section.entries.erase(same);
        entry.lastDate = date;
        ++entry.count;
        if (event.disk)
            entry.disk = event.disk;
        if (event.application && !isEmpty(*event.application))
            entry.application = event.application;
    }
    updateElementDescription(entry, event, date);

    section.entries.insert(section.entries.begin(), std::move(entry));
    if (added)
        keepFirst(section.entries, maximumEntriesPerSection);
    sections.insert(sections.begin(), std::move(section));
    keepFirst(sections, maximumSections);
    // Pruned before publishing, so that observers hear of one change.
    pruneSections(sections, date - window);
    sections_.set(std::move(sections));
    prune(date);
}

void TintraSoundLog::updateElementDescription(TintraSoundLogEntry& entry, const TintraEvent& event, WallTime date) const
{
    if (!event.element)
        return;
    // Describing walks another application's tree; once per row every 2 s is enough.
    if (entry.elementNamedDate && date - *entry.elementNamedDate < descriptionInterval)
        return;
    if (const auto* name = event.element->name()) {
        entry.elementDescription = std::string(leadingCharacters(*name, maximumDescriptionLength));
        entry.elementDetails.clear();
        entry.elementNamedDate = date;
        return;
    }
    auto snapshot = describeElement(*event.element->element());
    if (!snapshot)
        return;
    entry.elementDescription = std::string(leadingCharacters(snapshot->name, maximumDescriptionLength));
    keepFirst(snapshot->details, maximumDetailLines);
    entry.elementDetails = std::move(snapshot->details);
    entry.elementNamedDate = date;
}

void TintraSoundLog::noteSilence(std::optional<TintraSilenceReason> reason, WallTime date)
{
    if (reason == currentSilence())
        return;
    auto silences = silences_.get();
    if (!silences.empty() && silences.front().isRunning())
        silences.front().endDate = std::max(silences.front().startDate, date);
    if (reason)
        silences.insert(silences.begin(), TintraSilencePeriod::started(*reason, date));
    keepFirst(silences, maximumSilences);
    silences_.set(std::move(silences));
}

void TintraSoundLog::pruneSections(std::vector<TintraSoundLogSection>& sections, WallTime cutoff)
{
    for (auto& section : sections)
        std::erase_if(section.entries, [&](const TintraSoundLogEntry& entry) { return entry.lastDate < cutoff; });
    std::erase_if(sections, [](const TintraSoundLogSection& section) { return section.entries.empty(); });
}

void TintraSoundLog::prune(WallTime now)
{
    const auto cutoff = now - window;
    // Copies are made only when something goes, so that idle pruning stays cheap.
    const auto& current = sections_.get();
    const bool anyStale = std::any_of(current.begin(), current.end(), [&](const TintraSoundLogSection& section) {
        return section.entries.empty()
            || std::any_of(section.entries.begin(), section.entries.end(),
                [&](const TintraSoundLogEntry& entry) { return entry.lastDate < cutoff; });
    });
    if (anyStale) {
        auto sections = current;
        pruneSections(sections, cutoff);
        sections_.set(std::move(sections));
    }
    const auto ended = [&](const TintraSilencePeriod& period) { return period.endDate && *period.endDate < cutoff; };
    if (std::any_of(silences_.get().begin(), silences_.get().end(), ended)) {
        auto silences = silences_.get();
        std::erase_if(silences, ended);
        silences_.set(std::move(silences));
    }
}

void TintraSoundLog::clear()
{
    sections_.set({});
    auto silences = silences_.get();
    std::erase_if(silences, [](const TintraSilencePeriod& period) { return !period.isRunning(); });
    silences_.set(std::move(silences));
}

std::unique_ptr<TintraSoundLog> TintraSoundLog::frozenCopy() const
{
    auto copy = std::make_unique<TintraSoundLog>(describeElement, runningApplication);
    copy->sections_.set(sections_.get());
    copy->silences_.set(silences_.get());
    return copy;
}

std::optional<TintraSilenceReason> TintraSoundLog::currentSilence() const
{
    const auto& silences = silences_.get();
    if (silences.empty() || !silences.front().isRunning())
        return std::nullopt;
    return silences.front().reason;
}

std::size_t TintraSoundLog::entryCount() const
{
    return std::accumulate(sections().begin(), sections().end(), std::size_t(0),
        [](std::size_t sum, const TintraSoundLogSection& section) { return sum + section.entries.size(); });
}

long long TintraSoundLog::hearingCount() const
{
    long long sum = 0;
    for (const auto& section : sections()) {
        for (const auto& entry : section.entries)
            sum += entry.count;
    }
    return sum;
}

bool TintraSoundLog::hasContent() const
{
    const auto& silences = silences_.get();
    return !sections().empty()
        || std::any_of(silences.begin(), silences.end(), [](const TintraSilencePeriod& period) { return !period.isRunning(); });
}

std::optional<std::string> TintraSoundLog::soundName(const TintraSoundLogEntry& entry)
{
    return displayName(entry.soundID);
}

} // namespace tintra
