#pragma once

#include <string_view>

namespace tintra {

// Names of platform facilities inside texts the user reads. Each sentence is
// written once with the term spliced in, so that a Linux user is sent to the
// Settings application and the Files browser, not to macOS places that do not
// exist on their desktop; every other word of the sentence stays as it is.
namespace platformTerm {
#if defined(__APPLE__)
inline constexpr std::string_view operatingSystem = "macOS";
inline constexpr std::string_view settingsApplication = "System Settings";
inline constexpr std::string_view fileBrowser = "Finder";
inline constexpr std::string_view audioFramework = "AVFoundation";
inline constexpr std::string_view loginItems = "Login Items";
#else
inline constexpr std::string_view operatingSystem = "Linux";
inline constexpr std::string_view settingsApplication = "Settings";
inline constexpr std::string_view fileBrowser = "Files";
inline constexpr std::string_view audioFramework = "libsndfile";
inline constexpr std::string_view loginItems = "Autostart Folder";
#endif
} // namespace platformTerm

} // namespace tintra
