#pragma once

#include "catalogue/EventFilter.h"
#include "catalogue/SetEntry.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

class TintraAssignments;
class TintraLibrary;

// What the event list knows of one listed catalogue row.
struct TintraEventRow {
    const TintraSetEntry* entry = nullptr;
    std::string name;
    bool willPlay = false;
    bool isCustom = false; // plays a file of the user's own
    // The name, file name and code lower-cased, for the search.
    std::string searchable;

    TintraEventRow(const TintraSetEntry& entry, bool willPlay, bool isCustom);
};

// One collapsible section: the rows of a category that pass, in catalogue order.
struct TintraEventListSection {
    TintraSoundCategory category;
    std::vector<const TintraEventRow*> rows;
};

// Every listed row with what it plays now.
std::vector<TintraEventRow> readEventRows(const TintraAssignments& assignments, const TintraLibrary& library);

// The listed events that play a file of the user's own.
int customSoundCount(const TintraAssignments& assignments);

// The sections in category order, of the rows that pass the filter and the
// search; a section without such a row is left out. A search of only white
// space is no search; otherwise the trimmed text is looked for, ignoring case,
// in each row's name, file name and code.
std::vector<TintraEventListSection> eventListSections(std::span<const TintraEventRow> rows,
    TintraEventFilter filter, std::string_view search);

} // namespace tintra
