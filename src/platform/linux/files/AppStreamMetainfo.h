#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// The data folders AppStream metainfo lies in: the user's, then the system's
// (XDG_DATA_HOME, XDG_DATA_DIRS).
std::vector<std::filesystem::path> dataFolders();

// The newest release's version that an application's AppStream metainfo
// (FOLDER/metainfo/ID.metainfo.xml, or the older appdata name) gives, the
// releases being listed newest first; none without a file, a release or a version.
std::optional<std::string> metainfoVersion(const std::string& desktopEntryID,
    const std::vector<std::filesystem::path>& folders = dataFolders());

} // namespace tintra
