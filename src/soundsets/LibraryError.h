#pragma once

#include "soundsets/Bundle.h"
#include "soundsets/PlatformError.h"

#include <filesystem>
#include <string>
#include <variant>

namespace tintra {

struct TintraLibraryError {
    enum class Case { noAudioResources, couldNotCreateDirectory, couldNotCopy, duplicateIdentifier };
    Case kind;
    std::filesystem::path url;
    PlatformError error;    // couldNotCreateDirectory, couldNotCopy
    std::string identifier; // duplicateIdentifier

    std::string description() const;
    bool operator==(const TintraLibraryError&) const = default;
};

// Why an install failed: the library's own failure, the installed bundle's, or
// the platform's while writing its property list.
struct TintraInstallError {
    std::variant<TintraLibraryError, TintraBundleError, PlatformError> cause;

    std::string description() const;
};

} // namespace tintra
