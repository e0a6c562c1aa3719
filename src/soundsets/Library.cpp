#include "soundsets/Library.h"

#include "soundsets/CopyFolder.h"
#include "soundsets/PathName.h"
#include "soundsets/SoundFile.h"
#include "support/PlatformTerms.h"
#include "support/Text.h"

#include <fmt/format.h>

#include <algorithm>
#include <iostream>
#include <set>

namespace tintra {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kIdentifierPrefix = TINTRA_MAKER_PREFIX ".tintraset.";
constexpr std::string_view kBundleExtension = ".tintraset";

// Far beyond any real library; keeps an unreadable folder from looping forever.
constexpr int kMaxNameAttempts = 10000;

bool somethingExists(const fs::path& url)
{
    std::error_code error;
    return fs::symlink_status(url, error).type() != fs::file_type::not_found;
}

// The folder's names in plain string order; a folder that cannot be listed has none.
std::vector<std::string> sortedNames(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error))
        names.push_back(entries->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string TintraLibraryError::description() const
{
    switch (kind) {
    case Case::noAudioResources:
        return fmt::format("{} contains no audio {} can open", lastPathComponent(url), platformTerm::audioFramework);
    case Case::couldNotCreateDirectory:
        return "Could not create " + url.string() + ": " + error.description();
    case Case::couldNotCopy:
        return "Could not copy " + lastPathComponent(url) + ": " + error.description();
    case Case::duplicateIdentifier:
        return lastPathComponent(url) + " was skipped: " + identifier + " is already installed";
    }
    return lastPathComponent(url);
}

std::string TintraInstallError::description() const
{
    return std::visit([](const auto& error) { return std::string(error.description()); }, cause);
}

std::string identifierSlug(std::string_view name)
{
    const auto scalars = decodeUTF8(lowercased(name));
    std::string slug;
    bool pendingDash = false;
    if (scalars) {
        for (const char32_t scalar : *scalars) {
            if (!isAlphanumeric(scalar)) {
                pendingDash = true;
                continue;
            }
            if (pendingDash && !slug.empty())
                slug += '-';
            pendingDash = false;
            appendUTF8(slug, scalar);
        }
    }
    return slug.empty() ? "set" : slug;
}

TintraLibrary::TintraLibrary(
    fs::path directory, std::optional<fs::path> builtInDirectory, const SoundTypeRegistry& registry)
    : directory_(std::move(directory))
    , builtInDirectory_(std::move(builtInDirectory))
    , registry_(registry)
{
    reload();
}

void TintraLibrary::reload()
{
    std::vector<TintraBundle> bundles;
    std::vector<std::string> failures;
    scanDirectory(directory_, false, bundles, failures);
    if (builtInDirectory_)
        scanDirectory(*builtInDirectory_, true, bundles, failures);
    std::stable_sort(bundles.begin(), bundles.end(), [](const TintraBundle& a, const TintraBundle& b) {
        return localizedStandardLess(a.metadata().name, b.metadata().name);
    });
    bundles_.set(std::move(bundles));
    loadFailures_.set(std::move(failures));
}

void TintraLibrary::scanDirectory(
    const fs::path& folder, bool isBuiltIn, std::vector<TintraBundle>& bundles, std::vector<std::string>& failures) const
{
    std::set<std::string, std::less<>> identifiers;
    for (const auto& bundle : bundles)
        identifiers.insert(bundle.metadata().identifier);
    for (const auto& name : sortedNames(folder)) {
        if (!name.ends_with(kBundleExtension))
            continue;
        auto bundle = loadBundle(folder / name, isBuiltIn, registry_);
        if (!bundle) {
            failures.push_back(bundle.error().description());
        } else if (identifiers.insert(bundle->metadata().identifier).second) {
            bundles.push_back(std::move(*bundle));
        } else {
            failures.push_back(TintraLibraryError { TintraLibraryError::Case::duplicateIdentifier, bundle->url(), {},
                bundle->metadata().identifier }
                                   .description());
        }
    }
}

const TintraBundle* TintraLibrary::bundle(const std::optional<std::string>& identifier) const
{
    if (!identifier)
        return nullptr;
    const auto& list = bundles_.get();
    const auto found = std::find_if(
        list.begin(), list.end(), [&](const TintraBundle& bundle) { return bundle.metadata().identifier == *identifier; });
    return found == list.end() ? nullptr : &*found;
}

bool TintraLibrary::isInstalled(std::string_view identifier) const
{
    return bundle(std::string(identifier)) != nullptr;
}

tl::expected<void, TintraLibraryError> TintraLibrary::ensureDirectory() const
{
    if (somethingExists(directory_))
        return {};
    std::error_code error;
    fs::create_directories(directory_, error);
    if (error)
        return tl::unexpected(TintraLibraryError {
            TintraLibraryError::Case::couldNotCreateDirectory, directory_, PlatformError::from(error), {} });
    return {};
}

std::string TintraLibrary::uniqueIdentifier(std::string_view name) const
{
    const std::string base = std::string(kIdentifierPrefix) + identifierSlug(name);
    std::string candidate = base;
    for (int n = 2; isInstalled(candidate); ++n)
        candidate = base + "-" + std::to_string(n);
    return candidate;
}

fs::path TintraLibrary::uniqueBundleURL(std::string_view name) const
{
    const std::string base = name.empty() ? "Sound Set" : std::string(name);
    fs::path candidate = directory_ / (base + std::string(kBundleExtension));
    for (int n = 2; somethingExists(candidate) && n < kMaxNameAttempts; ++n)
        candidate = directory_ / (base + " " + std::to_string(n) + std::string(kBundleExtension));
    return candidate;
}

tl::expected<std::optional<TintraBundle>, TintraInstallError> TintraLibrary::install(const fs::path& source)
{
    if (auto ensured = ensureDirectory(); !ensured)
        return tl::unexpected(TintraInstallError { ensured.error() });
    const std::string name = lastPathComponentWithoutExtension(source);
    const fs::path destination = uniqueBundleURL(name);
    const std::string identifier = uniqueIdentifier(name);

    if (hasResourcesFolder(source)) {
        if (const auto error = copyFolder(source, destination))
            return tl::unexpected(TintraInstallError {
                TintraLibraryError { TintraLibraryError::Case::couldNotCopy, source, PlatformError::from(error), {} } });
        if (auto adopted = adoptCopiedBundle(destination, identifier, name); !adopted)
            return tl::unexpected(TintraInstallError { adopted.error() });
    } else if (auto made = makeBundle(source, destination, identifier, name); !made) {
        return tl::unexpected(made.error());
    }

    auto loaded = loadBundle(destination, false, registry_);
    if (!loaded)
        return tl::unexpected(TintraInstallError { loaded.error() });
    reload();
    const auto* installed = bundle(loaded->metadata().identifier);
    return installed ? std::optional(*installed) : std::nullopt;
}

tl::expected<void, PlatformError> TintraLibrary::adoptCopiedBundle(
    const fs::path& url, const std::string& identifier, const std::string& name) const
{
    auto dictionary = readInfoDictionary(url);
    if (!dictionary) {
        auto written = writeBundleSkeleton(url, TintraBundleMetadata { identifier, name, {}, {}, {}, 1 });
        return written ? tl::expected<void, PlatformError> {} : tl::unexpected(written.error());
    }
    const auto current = dictionary->find("CFBundleIdentifier");
    const auto* own = current == dictionary->end() ? nullptr : current->second.asString();
    if (own && !own->empty() && !isInstalled(*own))
        return {};
    dictionary->insert_or_assign("CFBundleIdentifier", identifier);
    dictionary->try_emplace("CFBundleName", name);
    return writeInfoDictionary(url, *dictionary);
}

tl::expected<void, TintraInstallError> TintraLibrary::makeBundle(
    const fs::path& folder, const fs::path& url, const std::string& identifier, const std::string& name) const
{
    if (auto written = writeBundleSkeleton(url, TintraBundleMetadata { identifier, name, {}, {}, {}, 1 }); !written)
        return tl::unexpected(TintraInstallError { written.error() });
    const fs::path resources = url / "Contents" / "Resources";
    int copied = 0;
    for (const auto& fileName : sortedNames(folder)) {
        const fs::path file = folder / fileName;
        if (fileName.starts_with(".") || fs::path(fileName).extension().string().size() <= 1
            || !isSoundFile(file, registry_))
            continue;
        std::error_code error;
        const auto type = fs::status(file, error).type();
        if (type == fs::file_type::directory)
            continue;
        if (type == fs::file_type::regular)
            fs::copy_file(file, resources / fileName, fs::copy_options::none, error);
        else
            error = std::make_error_code(std::errc::not_supported);
        if (error) {
            std::cout << "TintraLibrary: could not copy " << fileName << ": " << error.message() << std::endl;
            continue;
        }
        ++copied;
    }
    if (copied == 0) {
        std::error_code ignored;
        fs::remove_all(url, ignored);
        return tl::unexpected(
            TintraInstallError { TintraLibraryError { TintraLibraryError::Case::noAudioResources, folder, {}, {} } });
    }
    return {};
}

} // namespace tintra
