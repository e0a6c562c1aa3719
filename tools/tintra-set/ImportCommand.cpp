#include "ImportCommand.h"

#include "Cli.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "platform/linux/files/SoundTypeRegistryLinux.h"
#include "soundsets/ClassicImport.h"
#include "soundsets/Library.h"
#include "soundsets/PathName.h"

#include <fmt/format.h>
#include <fmt/ostream.h>

namespace tintra::cli {
namespace {

namespace fs = std::filesystem;

// The line printed for one path, or its failure text.
using Outcome = tl::expected<std::string, std::string>;

std::string summaryLine(const TintraClassicImportSummary& summary)
{
    return importSummaryText(std::span(&summary, 1));
}

// Straight into the folder, which may hold the user's own bundles: one of
// the same name is never written over.
Outcome importInto(const fs::path& file, const fs::path& folder)
{
    const std::string bundleName = lastPathComponent(file) + ".tintraset";
    std::error_code error;
    if (fs::exists(folder / bundleName, error))
        return tl::unexpected(fmt::format("{} already exists in {}", bundleName, folder.string()));
    const auto summary = importClassicSoundSet(file, folder);
    if (!summary)
        return tl::unexpected(summary.error().description());
    return summaryLine(*summary);
}

// As the settings window does: build the bundle in a temporary folder, install
// a copy, and remove the temporary folder whatever happened.
Outcome importAndInstall(const fs::path& file, TintraLibrary& library)
{
    const auto folder = makeTemporaryImportFolder();
    if (!folder)
        return tl::unexpected(folder.error().description());
    Outcome outcome;
    if (const auto summary = importClassicSoundSet(file, *folder); !summary)
        outcome = tl::unexpected(summary.error().description());
    else if (const auto installed = library.install(*folder / (summary->name + ".tintraset")); !installed)
        outcome = tl::unexpected(installed.error().description());
    else
        outcome = summaryLine(*summary);
    std::error_code ignored;
    fs::remove_all(*folder, ignored);
    return outcome;
}

Outcome installFolder(const fs::path& folder, TintraLibrary& library)
{
    const auto installed = library.install(folder);
    if (!installed)
        return tl::unexpected(installed.error().description());
    const auto name = *installed ? (*installed)->metadata().name : lastPathComponentWithoutExtension(folder);
    return fmt::format("{}: installed", name);
}

} // namespace

int importSets(const std::vector<fs::path>& paths, const std::optional<fs::path>& into, std::ostream& out,
    std::ostream& err)
{
    const SoundTypeRegistryLinux registry;
    std::optional<TintraLibrary> library;
    const auto destination = [&]() -> TintraLibrary& {
        if (!library)
            library.emplace(into.value_or(standardLibraryDirectory()),
                into ? std::nullopt : standardBuiltInDirectory(), registry);
        return *library;
    };

    bool anyFailed = false;
    for (const auto& path : paths) {
        std::error_code error;
        const bool isClassicFile = fs::exists(path, error) && !fs::is_directory(path, error);
        const auto outcome = !isClassicFile ? installFolder(path, destination())
                           : into           ? importInto(path, *into)
                                            : importAndInstall(path, destination());
        if (outcome) {
            fmt::print(out, "{}\n", *outcome);
        } else {
            fmt::print(err, "tintra-set: {}\n", outcome.error());
            anyFailed = true;
        }
    }
    return anyFailed ? exitFailure : exitSuccess;
}

} // namespace tintra::cli
