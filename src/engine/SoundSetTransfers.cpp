#include "engine/SoundSetTransfers.h"

#include "soundsets/Assignments.h"
#include "soundsets/Library.h"
#include "support/BackgroundExecutor.h"

#include <atomic>
#include <iostream>

namespace tintra {

namespace fs = std::filesystem;

namespace {

ScheduledWork newTask()
{
    return ScheduledWork(std::make_shared<std::atomic<bool>>(false));
}

bool isClassicFile(const fs::path& url)
{
    std::error_code error;
    return fs::exists(url, error) && !fs::is_directory(url, error);
}

// "2 of 3 could not be imported. " and the first failure, or the one failure.
std::optional<std::string> failureDescription(const std::vector<std::string>& failures, std::size_t urlCount)
{
    if (failures.empty())
        return std::nullopt;
    if (failures.size() == 1)
        return failures.front();
    return std::to_string(failures.size()) + " of " + std::to_string(urlCount) + " could not be imported. "
        + failures.front();
}

} // namespace

struct TintraSoundSetTransfers::ImportRun {
    std::vector<fs::path> urls;
    std::size_t next = 0;
    std::vector<TintraClassicImportSummary> summaries;
    std::vector<std::string> failures;
    ScheduledWork task = newTask();
};

TintraSoundSetTransfers::TintraSoundSetTransfers(TintraLibrary& library, TintraAssignments& assignments,
    MainExecutor& main, BackgroundExecutor& background, std::function<void()> setsInstalled)
    : library_(library)
    , assignments_(assignments)
    , main_(main)
    , background_(background)
    , setsInstalled_(std::move(setsInstalled))
{
}

void TintraSoundSetTransfers::clearResults()
{
    lastFailureDescription_.set(std::nullopt);
    lastExportSummary_.set(std::nullopt);
    lastImportSummaries_.set({});
}

void TintraSoundSetTransfers::importSets(std::vector<fs::path> urls)
{
    if (urls.empty())
        return;
    importTask_.cancel();
    auto run = std::make_shared<ImportRun>();
    run->urls = std::move(urls);
    importTask_ = run->task;
    setsImported_.set(0);
    setsToImport_.set(int(run->urls.size()));
    isImportingSets_.set(true);
    clearResults();
    main_.post(weakSelf_.bind([run](TintraSoundSetTransfers& self) { self.importNext(run); }));
}

void TintraSoundSetTransfers::importNext(std::shared_ptr<ImportRun> run)
{
    if (run->task.isCancelled())
        return;
    if (run->next == run->urls.size()) {
        finishImport(*run);
        return;
    }
    const fs::path url = run->urls[run->next++];
    if (!isClassicFile(url)) {
        const auto installed = library_.install(url);
        if (installed)
            finishURL(run, std::nullopt);
        else
            finishURL(run, tl::unexpected(installed.error().description()));
        return;
    }
    const auto folder = makeTemporaryImportFolder();
    if (!folder) {
        finishURL(run, tl::unexpected(folder.error().description()));
        return;
    }
    auto installAndGoOn = weakSelf_.bind([run, folder = *folder](TintraSoundSetTransfers& self,
                                             tl::expected<TintraClassicImportSummary, TintraClassicImportFailure> imported) {
        if (run->task.isCancelled())
            return;
        if (!imported) {
            self.finishURL(run, tl::unexpected(imported.error().description()));
            return;
        }
        const auto installed = self.library_.install(folder / (imported->name + ".tintraset"));
        if (installed)
            self.finishURL(run, *imported);
        else
            self.finishURL(run, tl::unexpected(installed.error().description()));
    });
    background_.run([url, folder = *folder] { return importClassicSoundSet(url, folder); },
        [installAndGoOn, folder = *folder](auto imported) mutable {
            installAndGoOn(std::move(imported));
            // Whatever happened, and also when the transfers are gone.
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        });
}

void TintraSoundSetTransfers::finishURL(
    const std::shared_ptr<ImportRun>& run, tl::expected<std::optional<TintraClassicImportSummary>, std::string> outcome)
{
    if (!outcome)
        run->failures.push_back(std::move(outcome.error()));
    else if (*outcome)
        run->summaries.push_back(std::move(**outcome));
    setsImported_.set(setsImported_.get() + 1);
    // One set per turn of the main thread, so the interface keeps up.
    main_.post(weakSelf_.bind([run](TintraSoundSetTransfers& self) { self.importNext(run); }));
}

void TintraSoundSetTransfers::finishImport(const ImportRun& run)
{
    lastImportSummaries_.set(run.summaries);
    lastFailureDescription_.set(failureDescription(run.failures, run.urls.size()));
    chooseBaselineIfNone(assignments_, library_);
    setsInstalled_();
    isImportingSets_.set(false);
}

void TintraSoundSetTransfers::exportSet(const fs::path& destination)
{
    auto sources = exportSources(assignments_, library_);
    if (sources.empty()) {
        lastFailureDescription_.set("No event has a sound to export");
        return;
    }
    exportTask_.cancel();
    exportTask_ = newTask();
    isExportingSet_.set(true);
    clearResults();
    background_.run([sources = std::move(sources), destination] { return exportSoundSet(sources, destination); },
        weakSelf_.bind([task = exportTask_](TintraSoundSetTransfers& self, auto exported) {
            if (task.isCancelled())
                return;
            if (exported) {
                self.lastExportSummary_.set(*exported);
            } else {
                const auto text = exported.error().description();
                self.lastFailureDescription_.set(text);
                std::cout << "TintraController: " << text << std::endl;
            }
            self.isExportingSet_.set(false);
        }));
}

} // namespace tintra
