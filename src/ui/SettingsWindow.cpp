#include "ui/SettingsWindow.h"

#include "support/Defaults.h"
#include "ui/AfflictedAppsTab.h"
#include "ui/GeneralTab.h"
#include "ui/SettingsWidgets.h"
#include "ui/SoundLogTab.h"
#include "ui/SoundSetsTab.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>

#include <array>
#include <string_view>

namespace tintra {

namespace {

using Tab = TintraSettingsWindow::Tab;

constexpr std::string_view tabKey = "TintraSettingsTab";
constexpr std::array<std::string_view, 4> tabRawValues { "general", "soundSets", "afflictedApps", "soundLog" };

std::vector<std::filesystem::path> droppedFiles(const QMimeData& data)
{
    std::vector<std::filesystem::path> files;
    for (const auto& url : data.urls()) {
        if (url.isLocalFile())
            files.emplace_back(url.toLocalFile().toStdString());
    }
    return files;
}

} // namespace

TintraSettingsWindow::TintraSettingsWindow(TintraController& controller, TintraSilenceMonitor& silence,
    Defaults& defaults, MainExecutor& executor, TintraSettingsShell shell)
    : shell_(std::move(shell))
    , defaults_(defaults)
{
    setWindowTitle("Tintra Dorvel");
    setWindowIcon(QIcon::fromTheme("org.tintradorvel.TintraDorvel"));
    setAcceptDrops(true);
    resize(880, 680);

    tabs_ = new QTabWidget;
    tabs_->setAccessibleName("Settings");
    general_ = new TintraGeneralTab(controller, silence, shell_);
    soundSets_ = new TintraSoundSetsTab(controller, defaults, executor, shell_);
    afflictedApps_ = new TintraAfflictedAppsTab(controller, shell_);
    soundLog_ = new TintraSoundLogTab(controller, shell_);
    tabs_->addTab(general_, themeIcon("preferences-system", QStyle::SP_FileDialogDetailedView), "General");
    tabs_->addTab(soundSets_, themeIcon("audio-volume-high", QStyle::SP_MediaVolume), "Sound Sets");
    tabs_->addTab(afflictedApps_, themeIcon("application-x-executable", QStyle::SP_ComputerIcon), "Afflicted Apps");
    tabs_->addTab(soundLog_, themeIcon("help-about", QStyle::SP_MessageBoxQuestion), "WTF Was That?!");

    const auto stored = defaults_.stringForKey(tabKey, "general");
    for (std::size_t index = 0; index < tabRawValues.size(); ++index) {
        if (tabRawValues[index] == stored)
            tabs_->setCurrentIndex(int(index));
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && std::size_t(index) < tabRawValues.size())
            defaults_.set(tabKey, PropertyList(std::string(tabRawValues[std::size_t(index)])));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    addHelpRow(*layout);
}

// The tabs go first, while the shell they were handed still lives.
TintraSettingsWindow::~TintraSettingsWindow()
{
    delete tabs_;
}

void TintraSettingsWindow::addHelpRow(QBoxLayout& layout)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    if (shell_.reportBug) {
        auto* report = new QPushButton("Report a Bug");
        connect(report, &QPushButton::clicked, this, [this] { shell_.reportBug(); });
        row->addWidget(report);
    }
    if (shell_.about) {
        auto* about = new QPushButton("About Tintra Dorvel");
        connect(about, &QPushButton::clicked, this, [this] { shell_.about(); });
        row->addWidget(about);
    }
    layout.addLayout(row);
}

void TintraSettingsWindow::showAndRaise()
{
    general_->refreshAccess();
    showNormal();
    raise();
    activateWindow();
}

void TintraSettingsWindow::showTab(Tab tab)
{
    tabs_->setCurrentIndex(int(tab));
}

void TintraSettingsWindow::importFiles(std::vector<std::filesystem::path> files)
{
    if (files.empty())
        return;
    showTab(Tab::soundSets);
    soundSets_->importFiles(std::move(files));
}

void TintraSettingsWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFiles(*event->mimeData()).empty())
        event->acceptProposedAction();
}

void TintraSettingsWindow::dropEvent(QDropEvent* event)
{
    auto files = droppedFiles(*event->mimeData());
    if (files.empty())
        return;
    event->acceptProposedAction();
    importFiles(std::move(files));
}

} // namespace tintra
