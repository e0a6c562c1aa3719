#pragma once

#include "support/PropertyList.h"

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace tintra {

// The desktop entry a running process was started from: the one GIO's
// launcher named for exactly that process (GIO_LAUNCHED_DESKTOP_FILE with its
// _PID), else the installed entry whose Exec runs the process's executable.
// Nothing for a process of another user, a finished one, or one without entry.
std::optional<std::filesystem::path> desktopEntryOfProcess(pid_t process);

// An application's information dictionary from its desktop entry:
// "CFBundleName", "CFBundleIdentifier" (the entry's id) and the category
// types its Categories give. Nothing when the file is not an application entry.
std::optional<PropertyList::Dictionary> applicationInformation(const std::filesystem::path& entry);

// "LSApplicationCategoryType" (and "LSApplicationSecondaryCategoryType" for a
// named kind of game) from a desktop entry's semicolon-separated Categories:
// "Game" gives "public.app-category.games".
PropertyList::Dictionary categoryTypes(std::string_view categories);

} // namespace tintra
