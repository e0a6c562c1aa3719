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

int customSoundCount(std::span<const TintraEventRow> rows);

// A search of only white space is no search; otherwise the trimmed text is
// looked for, ignoring case, in each row's name, file name and code.
bool passes(const TintraEventRow& row, TintraEventFilter filter, std::string_view search);

// The sections in category order; a section without a passing row is left out.
std::vector<TintraEventListSection> eventListSections(std::span<const TintraEventRow> rows,
    TintraEventFilter filter, std::string_view search);

} // namespace tintra
