#pragma once

#include "support/PropertyList.h"

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// What the windows of a process say of the application they belong to.
struct WindowHints {
    std::vector<std::string> applicationIDs; // _GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE
    std::vector<std::string> windowClasses;  // the class half of WM_CLASS
};

// The desktop entry a running process was started from, the first of: the
// installed entry its windows name; its Flatpak or Snap application's entry;
// the one GIO's launcher named for exactly that process
// (GIO_LAUNCHED_DESKTOP_FILE with its _PID); the installed entry whose
// StartupWMClass is a class of its windows; the one whose Exec runs its
// executable. Nothing for a process of another user, a finished one, or one
// without entry.
std::optional<std::filesystem::path> desktopEntryOfProcess(pid_t process, const WindowHints& hints = {});

// An application's information dictionary from its desktop entry:
// "CFBundleName", "CFBundleIdentifier" (the entry's id) and the category
// types its Categories give. Nothing when the file is not an application entry.
std::optional<PropertyList::Dictionary> applicationInformation(const std::filesystem::path& entry);

// "LSApplicationCategoryType" (and "LSApplicationSecondaryCategoryType" for a
// named kind of game) from a desktop entry's semicolon-separated Categories:
// "Game" gives "public.app-category.games".
PropertyList::Dictionary categoryTypes(std::string_view categories);

} // namespace tintra
