#include "engine/Exclusions.h"

#include "workspace/DesktopEntry.h"
#include "support/Text.h"

#include <algorithm>

namespace tintra {

namespace {

// A stored dictionary that is not entirely text names is discarded as a whole.
TintraExclusions::Names readStoredNames(const Defaults& defaults)
{
    TintraExclusions::Names names;
    const auto stored = defaults.dictionaryForKey(TintraExclusions::excludedApplicationsKey);
    if (!stored)
        return names;
    for (const auto& [identifier, value] : *stored) {
        const auto* name = value.asString();
        if (!name)
            return {};
        names.emplace(identifier, *name);
    }
    return names;
}

std::set<std::string, std::less<>> readIncluded(const Defaults& defaults)
{
    std::set<std::string, std::less<>> included;
    const auto stored = defaults.arrayForKey(TintraExclusions::includedDefaultExclusionsKey);
    if (!stored)
        return included;
    for (const auto& value : *stored) {
        const auto* identifier = value.asString();
        if (!identifier)
            return {};
        included.insert(*identifier);
    }
    return included;
}

} // namespace

std::string TintraExclusionError::description() const
{
    return url.filename().string() + " has no bundle identifier, and an exclusion has nothing else to key on.";
}

TintraExclusions::TintraExclusions(Defaults& defaults, DefaultTable byDefault)
    : defaults_(defaults)
    , byDefault_(std::move(byDefault))
    , storedNames_(readStoredNames(defaults))
    , includedByDefault_(readIncluded(defaults))
{
    changed();
}

bool TintraExclusions::isExcluded(std::optional<std::string_view> bundleIdentifier) const
{
    if (!bundleIdentifier)
        return false;
    return storedNames_.contains(*bundleIdentifier) || defaultExclusion(*bundleIdentifier).has_value();
}

std::optional<TintraDefaultExclusion> TintraExclusions::defaultExclusion(std::string_view bundleIdentifier) const
{
    const auto found = byDefault_.find(bundleIdentifier);
    if (found == byDefault_.end() || includedByDefault_.contains(bundleIdentifier))
        return std::nullopt;
    return found->second;
}

TintraExclusions::Names TintraExclusions::excludedNames() const
{
    Names names = storedNames_;
    for (const auto& [identifier, exclusion] : byDefault_) {
        if (includedByDefault_.contains(identifier))
            continue;
        auto [entry, inserted] = names.try_emplace(identifier, exclusion.name);
        if (!inserted && entry->second.empty())
            entry->second = exclusion.name;
    }
    return names;
}

void TintraExclusions::exclude(const std::string& bundleIdentifier, std::optional<std::string> name)
{
    if (!name) {
        // The default's name even when it was included back: excluding it again restores it.
        if (const auto stored = storedNames_.find(bundleIdentifier); stored != storedNames_.end())
            name = stored->second;
        else if (const auto byDefault = byDefault_.find(bundleIdentifier); byDefault != byDefault_.end())
            name = byDefault->second.name;
    }
    storedNames_[bundleIdentifier] = name.value_or("");
    includedByDefault_.erase(bundleIdentifier);
    save();
    changed();
}

void TintraExclusions::include(const std::string& bundleIdentifier)
{
    bool didChange = storedNames_.erase(bundleIdentifier) > 0;
    if (byDefault_.contains(bundleIdentifier))
        didChange = includedByDefault_.insert(bundleIdentifier).second || didChange;
    if (!didChange)
        return;
    save();
    changed();
}

tl::expected<std::string, TintraExclusionError> TintraExclusions::excludeApplication(const std::filesystem::path& file)
{
    auto entry = readDesktopEntry(file);
    if (!entry)
        return tl::unexpected(TintraExclusionError { TintraExclusionError::Case::noBundleIdentifier, file });
    exclude(entry->identifier, entry->name.value_or(file.stem().string()));
    return entry->identifier;
}

void TintraExclusions::save()
{
    PropertyList::Dictionary names;
    for (const auto& [identifier, name] : storedNames_)
        names.emplace(identifier, name);
    PropertyList::Array included(includedByDefault_.begin(), includedByDefault_.end());
    defaults_.set(excludedApplicationsKey, std::move(names));
    defaults_.set(includedDefaultExclusionsKey, std::move(included));
}

void TintraExclusions::changed()
{
    std::vector<TintraExclusion> list;
    for (auto& [identifier, name] : excludedNames())
        list.push_back({ identifier, name });
    const auto displayKey = [](const TintraExclusion& exclusion) -> const std::string& {
        return exclusion.name.empty() ? exclusion.bundleIdentifier : exclusion.name;
    };
    std::stable_sort(list.begin(), list.end(), [&](const auto& a, const auto& b) {
        return localizedStandardLess(displayKey(a), displayKey(b));
    });
    exclusions_.set(std::move(list));
}

} // namespace tintra
