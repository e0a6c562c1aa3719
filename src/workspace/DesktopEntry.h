#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tintra {

// What an application file tells about itself: on Linux a desktop entry,
// whose ID is the application's identifier.
struct DesktopEntry {
    std::string identifier;          // "org.gnome.TextEditor"
    std::optional<std::string> name; // the [Desktop Entry] group's Name
};

// The desktop-entry ID of a file: its path below the last "applications"
// folder with "/" turned into "-", without ".desktop" (".../applications/kde/
// konsole.desktop" is "kde-konsole"); without such a folder, the file's name.
// Nothing when the file name does not end in ".desktop".
std::optional<std::string> desktopEntryIdentifier(const std::filesystem::path& file);

// The entry for `identifier` from a desktop file's text: the unlocalised
// Name of its [Desktop Entry] group, with the format's escapes (\s \n \t \r
// \\) undone. Nothing when the text has no [Desktop Entry] group.
std::optional<DesktopEntry> parseDesktopEntry(std::string identifier, std::string_view contents);

// Nothing when the file is not a readable desktop entry.
std::optional<DesktopEntry> readDesktopEntry(const std::filesystem::path& file);

} // namespace tintra
