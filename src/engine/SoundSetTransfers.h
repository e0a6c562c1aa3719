#pragma once

#include "soundsets/ClassicImport.h"
#include "soundsets/Export.h"
#include "support/MainExecutor.h"
#include "support/Observable.h"
#include "support/WeakSelf.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

class BackgroundExecutor;
class TintraAssignments;
class TintraLibrary;

// The controller's imports of sound sets into the library and exports of what
// plays now, with the progress and results the settings window shows. The
// file work runs in the background; everything else on the main thread. A new
// import or export cancels the running one, which then writes nothing more.
class TintraSoundSetTransfers {
public:
    // `setsInstalled` is told after an import, so that the player forgets the
    // files it resolved before.
    TintraSoundSetTransfers(TintraLibrary& library, TintraAssignments& assignments, MainExecutor& main,
        BackgroundExecutor& background, std::function<void()> setsInstalled);
    TintraSoundSetTransfers(const TintraSoundSetTransfers&) = delete;
    TintraSoundSetTransfers& operator=(const TintraSoundSetTransfers&) = delete;

    // Classic files are converted and installed; folders, and paths that name
    // nothing, are installed as they are.
    void importSets(std::vector<std::filesystem::path> urls);
    void exportSet(const std::filesystem::path& destination);

    // The last import's or export's failure; cleared when either starts.
    const Observable<std::optional<std::string>>& lastFailureDescription() const { return lastFailureDescription_; }
    const Observable<bool>& isImportingSets() const { return isImportingSets_; }
    const Observable<int>& setsImported() const { return setsImported_; }
    const Observable<int>& setsToImport() const { return setsToImport_; }
    const Observable<std::vector<TintraClassicImportSummary>>& lastImportSummaries() const
    {
        return lastImportSummaries_;
    }
    const Observable<bool>& isExportingSet() const { return isExportingSet_; }
    const Observable<std::optional<TintraExportSummary>>& lastExportSummary() const { return lastExportSummary_; }

private:
    struct ImportRun;

    void clearResults();
    void importNext(std::shared_ptr<ImportRun> run);
    void finishURL(const std::shared_ptr<ImportRun>& run, tl::expected<std::optional<TintraClassicImportSummary>, std::string> outcome);
    void finishImport(const ImportRun& run);

    TintraLibrary& library_;
    TintraAssignments& assignments_;
    MainExecutor& main_;
    BackgroundExecutor& background_;
    std::function<void()> setsInstalled_;
    ScheduledWork importTask_;
    ScheduledWork exportTask_;

    Observable<std::optional<std::string>> lastFailureDescription_;
    Observable<bool> isImportingSets_ { false };
    Observable<int> setsImported_ { 0 };
    Observable<int> setsToImport_ { 0 };
    Observable<std::vector<TintraClassicImportSummary>> lastImportSummaries_;
    Observable<bool> isExportingSet_ { false };
    Observable<std::optional<TintraExportSummary>> lastExportSummary_;
    WeakSelf<TintraSoundSetTransfers> weakSelf_ { *this };
};

} // namespace tintra
