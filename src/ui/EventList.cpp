#include "ui/EventList.h"

#include "catalogue/Catalogue.h"
#include "soundsets/Assignments.h"
#include "support/Text.h"

#include <algorithm>

namespace tintra {

namespace {

bool passesFilter(const TintraEventRow& row, TintraEventFilter filter)
{
    switch (filter) {
    case TintraEventFilter::all: return true;
    case TintraEventFilter::enabled: return row.willPlay;
    case TintraEventFilter::disabled: return !row.willPlay;
    case TintraEventFilter::custom: return row.isCustom;
    }
    return false;
}

// The search is lowered once per keystroke rather than once per row.
bool passes(const TintraEventRow& row, TintraEventFilter filter, std::string_view needle)
{
    return passesFilter(row, filter) && (needle.empty() || row.searchable.find(needle) != std::string::npos);
}

} // namespace

TintraEventRow::TintraEventRow(const TintraSetEntry& entry, bool willPlay, bool isCustom)
    : entry(&entry)
    , name(displayName(entry))
    , willPlay(willPlay)
    , isCustom(isCustom)
    , searchable(lowercased(name + '\n' + std::string(entry.fileName) + '\n' + entry.soundID.description()))
{
}

std::vector<TintraEventRow> readEventRows(const TintraAssignments& assignments, const TintraLibrary& library)
{
    std::vector<TintraEventRow> rows;
    rows.reserve(listedCatalogue().size());
    const auto& customSounds = assignments.customSounds().get();
    for (const auto& entry : listedCatalogue())
        rows.emplace_back(entry, assignments.resolvedURL(entry.soundID, library).has_value(),
            customSounds.contains(entry.soundID));
    return rows;
}

int customSoundCount(const TintraAssignments& assignments)
{
    const auto& customSounds = assignments.customSounds().get();
    return int(std::count_if(listedCatalogue().begin(), listedCatalogue().end(),
        [&customSounds](const TintraSetEntry& entry) { return customSounds.contains(entry.soundID); }));
}

std::vector<TintraEventListSection> eventListSections(std::span<const TintraEventRow> rows,
    TintraEventFilter filter, std::string_view search)
{
    const auto needle = lowercased(trimmingWhitespace(search));
    std::vector<TintraEventListSection> sections;
    for (const auto category : allSoundCategories) {
        TintraEventListSection section { category, {} };
        for (const auto& row : rows) {
            if (row.entry->category == category && passes(row, filter, needle))
                section.rows.push_back(&row);
        }
        if (!section.rows.empty())
            sections.push_back(std::move(section));
    }
    return sections;
}

} // namespace tintra
