#pragma once

#include "catalogue/SetEntry.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// Every row in table order: the main table, the quit table, the login table (141 rows).
std::span<const TintraSetEntry> fullCatalogue();

// What the user sees and assigns: the main and login tables (139 rows).
std::span<const TintraSetEntry> listedCatalogue();

// The first row with the code ('dtdr' yields "DragTargetDrop.aiff", not the alias).
const TintraSetEntry* entryBySoundID(TintraSoundID soundID);

// The first row whose file name without its extension equals `baseName`,
// compared lower-cased ("menuopen", "DragTragetDrop").
const TintraSetEntry* entryByFileName(std::string_view baseName);

// The listed rows of one category, in table order.
std::span<const TintraSetEntry> entriesByCategory(TintraSoundCategory category);

// The title of a row, made from its file name: "MenuItemHilite.aiff" gives "Menu Item Hilite".
std::string displayName(const TintraSetEntry& entry);
// Nothing when the code has no row; callers then show the code's text form.
std::optional<std::string> displayName(TintraSoundID soundID);

} // namespace tintra
