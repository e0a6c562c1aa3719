#include "ui/SoundSetsTab.h"

#include "catalogue/Catalogue.h"
#include "engine/Controller.h"
#include "support/Defaults.h"
#include "ui/Binding.h"
#include "ui/SettingsWidgets.h"

#include <QAction>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

namespace tintra {

namespace {

constexpr std::string_view eventFilterKey = "TintraSettingsEventFilter";
const char* const soundFileFilter
    = "Sound files (*.aiff *.aif *.aifc *.caf *.wav *.mp3 *.flac *.ogg *.oga *.opus *.m4a *.mp4 *.mov);;All files (*)";

std::filesystem::path localPath(const QString& file)
{
    return std::filesystem::path(file.toStdString());
}

} // namespace

TintraSoundSetsTab::TintraSoundSetsTab(TintraController& controller, Defaults& defaults, MainExecutor& executor,
    const TintraSettingsShell& shell)
    : controller_(controller)
    , defaults_(defaults)
    , shell_(shell)
{
    auto* layout = new QVBoxLayout(this);
    buildHeader(*layout);

    auto* progressRow = new QHBoxLayout;
    progressText_ = new QLabel;
    progress_ = new QProgressBar;
    progress_->setAccessibleName("Transfer progress");
    progressRow->addWidget(progressText_);
    progressRow->addWidget(progress_, 1);
    layout->addLayout(progressRow);
    status_ = &addNote(*layout);
    notices_ = &addNote(*layout);

    events_ = new TintraEventListView(
        controller_, executor, [this](TintraSoundID soundID) { chooseCustomSound(soundID); },
        [this](const std::string& text) { showFailure(text); });
    buildFilterBar(*layout);
    layout->addWidget(events_, 1);

    auto& assignments = controller_.assignments();
    const auto redrawSetsOn = [this](const auto&) { redrawSets(); };
    bindValue(*this, controller_.library().bundles(), redrawSetsOn);
    bindValue(*this, assignments.baselineIdentifier(), redrawSetsOn);
    const auto redrawStatusOn = [this](const auto&) { redrawStatus(); };
    bindValue(*this, controller_.library().bundles(), redrawStatusOn);
    bindValue(*this, assignments.baselineIdentifier(), redrawStatusOn);
    bindValue(*this, assignments.overrides(), redrawStatusOn);
    bindValue(*this, assignments.customSounds(), redrawStatusOn);
    bindValue(*this, controller_.library().loadFailures(), redrawStatusOn);
    const auto& transfers = controller_.transfers();
    const auto redrawTransfersOn = [this](const auto&) { redrawTransfers(); };
    bindValue(*this, transfers.isImportingSets(), redrawTransfersOn);
    bindValue(*this, transfers.setsImported(), redrawTransfersOn);
    bindValue(*this, transfers.setsToImport(), redrawTransfersOn);
    bindValue(*this, transfers.isExportingSet(), redrawTransfersOn);
    bindValue(*this, transfers.lastImportSummaries(), redrawStatusOn);
    bindValue(*this, transfers.lastExportSummary(), redrawStatusOn);
    bindValue(*this, transfers.lastFailureDescription(), redrawStatusOn);
}

void TintraSoundSetsTab::buildHeader(QBoxLayout& layout)
{
    auto* header = new QHBoxLayout;
    auto* label = new QLabel("Sound Set");
    setPicker_ = new QComboBox;
    setPicker_->setAccessibleName("Sound Set");
    setPicker_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    label->setBuddy(setPicker_);
    connect(setPicker_, &QComboBox::activated, this, [this](int index) {
        const auto identifier = setPicker_->itemData(index).toString().toStdString();
        controller_.assignments().setBaselineIdentifier(identifier);
        controller_.player().invalidateAll();
    });

    auto* revealButton = new QPushButton("Reveal");
    revealButton->setToolTip("Show the folder of your sound sets in the file manager.");
    connect(revealButton, &QPushButton::clicked, this, [this] { reveal(); });
    auto* reload = new QPushButton("Reload");
    reload->setToolTip("Read the sound sets in the folder again.");
    connect(reload, &QPushButton::clicked, this, [this] { controller_.reloadLibrary(); });

    auto* import = new QToolButton;
    import->setText("Import…");
    import->setAccessibleName("Import sound sets");
    import->setToolTip("Import classic sound-set files, .tintraset bundles or folders of sounds.");
    import->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(import);
    connect(menu->addAction("Files…"), &QAction::triggered, this, [this] { openImporter(false); });
    connect(menu->addAction("Bundle or Folder…"), &QAction::triggered, this, [this] { openImporter(true); });
    import->setMenu(menu);

    export_ = new QPushButton("Export…");
    export_->setAccessibleName("Export sound set");
    connect(export_, &QPushButton::clicked, this, [this] { openExporter(); });

    header->addWidget(label);
    header->addWidget(setPicker_);
    header->addStretch();
    for (QWidget* button : std::initializer_list<QWidget*> { revealButton, reload, import, export_ })
        header->addWidget(button);
    layout.addLayout(header);
}

void TintraSoundSetsTab::buildFilterBar(QBoxLayout& layout)
{
    auto* bar = new QHBoxLayout;
    filters_ = new QButtonGroup(this);
    const auto stored = tintra::eventFilter(defaults_.stringForKey(eventFilterKey, "all")).value_or(TintraEventFilter::all);
    for (const auto filter : allEventFilters) {
        auto* button = new QPushButton(qText(title(filter)));
        button->setCheckable(true);
        button->setChecked(filter == stored);
        button->setToolTip(qText(eventFilterHelp()));
        filters_->addButton(button, int(filter));
        bar->addWidget(button);
    }
    connect(filters_, &QButtonGroup::idClicked, this, [this](int id) {
        const auto filter = TintraEventFilter(id);
        defaults_.set(eventFilterKey, PropertyList(std::string(rawValue(filter))));
        events_->setFilter(filter);
    });
    events_->setFilter(stored);

    search_ = new QLineEdit;
    search_->setPlaceholderText("Search Events");
    search_->setAccessibleName("Search Events");
    search_->setClearButtonEnabled(true);
    search_->addAction(themeIcon("edit-find", QStyle::SP_FileDialogContentsView), QLineEdit::LeadingPosition)
        ->setText("Search");
    // Qt's own clear button, named so that screen readers can say what it does.
    if (auto* clear = search_->findChild<QAction*>("_q_qlineeditclearaction")) {
        clear->setText("Clear the search");
        clear->setToolTip("Clear the search");
    }
    connect(search_, &QLineEdit::textChanged, events_, &TintraEventListView::setSearch);
    bar->addStretch();
    bar->addWidget(search_, 1);
    layout.addLayout(bar);
}

void TintraSoundSetsTab::redrawSets()
{
    const QSignalBlocker quiet(setPicker_);
    setPicker_->clear();
    const auto& baseline = controller_.assignments().baselineIdentifier().get();
    for (const auto& bundle : controller_.library().bundles().get()) {
        setPicker_->addItem(qText(bundle.metadata().name), qText(bundle.metadata().identifier));
        if (baseline == bundle.metadata().identifier)
            setPicker_->setCurrentIndex(setPicker_->count() - 1);
    }
    setPicker_->setEnabled(setPicker_->count() > 0);
}

void TintraSoundSetsTab::redrawStatus()
{
    auto& assignments = controller_.assignments();
    const int custom = customSoundCount(assignments);
    status_->setText(qText(soundSetsStatus(int(controller_.library().bundles().get().size()),
        controller_.player().playableSoundCount(), int(listedCatalogue().size()), custom)));

    const bool canExport = !assignments.overrides().get().empty() || custom > 0;
    export_->setEnabled(canExport);
    export_->setToolTip(qText(exportHelp(canExport)));

    QStringList lines;
    const auto& transfers = controller_.transfers();
    if (const auto text = importSummaryText(transfers.lastImportSummaries().get()); !text.empty())
        lines << qText(text);
    if (const auto& summary = transfers.lastExportSummary().get())
        lines << qText(exportSummaryText(*summary));
    if (const auto& failure = transfers.lastFailureDescription().get())
        lines << qText(*failure);
    if (failure_)
        lines << qText(*failure_);
    for (const auto& failure : controller_.library().loadFailures().get())
        lines << qText(failure);
    notices_->setText(lines.join('\n'));
    notices_->setVisible(!lines.isEmpty());
}

void TintraSoundSetsTab::redrawTransfers()
{
    const auto& transfers = controller_.transfers();
    const bool importing = transfers.isImportingSets().get();
    const bool exporting = transfers.isExportingSet().get();
    progressText_->setVisible(importing || exporting);
    progress_->setVisible(importing || exporting);
    if (importing) {
        progressText_->setText(qText(importProgressText(transfers.setsImported().get(), transfers.setsToImport().get())));
        progress_->setRange(0, std::max(1, transfers.setsToImport().get()));
        progress_->setValue(transfers.setsImported().get());
    } else if (exporting) {
        progressText_->setText("Exporting…");
        progress_->setRange(0, 0);
    }
}

void TintraSoundSetsTab::importFiles(std::vector<std::filesystem::path> files)
{
    if (files.empty())
        return;
    failure_.reset();
    controller_.transfers().importSets(std::move(files));
}

void TintraSoundSetsTab::reveal()
{
    if (!controller_.library().ensureDirectory())
        return;
    const auto& folder = controller_.library().directory();
    showFolder(shell_, folder);
}

void TintraSoundSetsTab::openImporter(bool folders)
{
    auto* dialog = new QFileDialog(window(), folders ? "Import a Sound Set Folder" : "Import Sound Sets");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(folders ? QFileDialog::Directory : QFileDialog::ExistingFiles);
    dialog->setLabelText(QFileDialog::Accept, "Import");
    connect(dialog, &QFileDialog::filesSelected, this, [this](const QStringList& chosen) {
        std::vector<std::filesystem::path> files;
        for (const auto& file : chosen)
            files.push_back(localPath(file));
        importFiles(std::move(files));
    });
    dialog->open();
}

void TintraSoundSetsTab::openExporter()
{
    auto* dialog = new QFileDialog(window(), "Export Sound Set");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The labels below exist only in Qt's own dialog.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setLabelText(QFileDialog::Accept, "Export");
    dialog->setLabelText(QFileDialog::FileName, "Export As:");
    dialog->setNameFilter("Sound sets (*.tintraset)");
    dialog->setDefaultSuffix("tintraset");
    dialog->selectFile(qText(defaultExportName(controller_.assignments(), controller_.library()) + ".tintraset"));
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        failure_.reset();
        controller_.transfers().exportSet(localPath(file));
    });
    dialog->open();
}

void TintraSoundSetsTab::chooseCustomSound(TintraSoundID soundID)
{
    auto* dialog = new QFileDialog(window(), "Choose a Sound for " + qText(displayName(soundID).value_or("")));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(soundFileFilter);
    connect(dialog, &QFileDialog::fileSelected, this, [this, soundID](const QString& file) {
        if (const auto chosen = controller_.assignments().setCustomSound(localPath(file), soundID))
            controller_.player().invalidate(soundID);
        else
            showFailure(chosen.error().description());
    });
    dialog->open();
}

void TintraSoundSetsTab::showFailure(const std::string& text)
{
    failure_ = text;
    redrawStatus();
}

} // namespace tintra
