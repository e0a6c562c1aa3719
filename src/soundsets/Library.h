#pragma once

#include "soundsets/Bundle.h"
#include "soundsets/LibraryError.h"
#include "soundsets/SoundTypeRegistry.h"
#include "support/Observable.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintra {

// A name lower-cased, every run of characters other than letters and digits
// (of any script) made one "-", "set" when nothing is left: "My Sounds!" gives "my-sounds".
std::string identifierSlug(std::string_view name);

// The installed sound sets: the user's library folder, then the sets that
// ship with the program. Main thread only; file copies and scans run on it.
class TintraLibrary {
public:
    // Scans both folders once. A missing folder gives an empty part without a failure.
    TintraLibrary(std::filesystem::path directory, std::optional<std::filesystem::path> builtInDirectory,
        const SoundTypeRegistry& registry);

    const std::filesystem::path& directory() const { return directory_; }
    const std::optional<std::filesystem::path>& builtInDirectory() const { return builtInDirectory_; }
    // In display-name order; a user set hides a built-in one with its identifier.
    const Observable<std::vector<TintraBundle>>& bundles() const { return bundles_; }
    // One text per bundle that failed to load or was skipped at the last reload.
    const Observable<std::vector<std::string>>& loadFailures() const { return loadFailures_; }

    void reload();

    // The first bundle in library order with the identifier; valid until the next reload.
    const TintraBundle* bundle(const std::optional<std::string>& identifier) const;

    // Installs a copy of a bundle, or turns a plain folder of audio into one,
    // under a free folder name and an identifier no installed set uses.
    tl::expected<std::optional<TintraBundle>, TintraInstallError> install(const std::filesystem::path& source);

    tl::expected<void, TintraLibraryError> ensureDirectory() const;
    std::string uniqueIdentifier(std::string_view name) const;
    std::filesystem::path uniqueBundleURL(std::string_view name) const;

    // Gives a copied bundle the identifier when its own is missing or taken.
    tl::expected<void, PlatformError> adoptCopiedBundle(
        const std::filesystem::path& url, const std::string& identifier, const std::string& name) const;
    // Writes a new bundle holding the sound files of a plain folder.
    tl::expected<void, TintraInstallError> makeBundle(const std::filesystem::path& folder,
        const std::filesystem::path& url, const std::string& identifier, const std::string& name) const;
    // Loads every *.tintraset in the folder, in name order, into the two lists.
    void scanDirectory(const std::filesystem::path& folder, bool isBuiltIn, std::vector<TintraBundle>& bundles,
        std::vector<std::string>& failures) const;

private:
    bool isInstalled(std::string_view identifier) const;

    std::filesystem::path directory_;
    std::optional<std::filesystem::path> builtInDirectory_;
    const SoundTypeRegistry& registry_;
    Observable<std::vector<TintraBundle>> bundles_;
    Observable<std::vector<std::string>> loadFailures_;
};

} // namespace tintra
