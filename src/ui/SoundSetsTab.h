#pragma once

#include "ui/EventListView.h"
#include "ui/SettingsShell.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

class Defaults;
class MainExecutor;
class TintraController;

// The Sound Sets tab: the baseline set, import and export with their progress
// and summaries, and the per-event list with its filter and search.
class TintraSoundSetsTab : public QWidget {
public:
    // The filter is kept under "TintraSettingsEventFilter".
    TintraSoundSetsTab(TintraController& controller, Defaults& defaults, MainExecutor& executor,
        const TintraSettingsShell& shell);

    // Classic files, bundles and folders, from the importer, a drop or a second launch.
    void importFiles(std::vector<std::filesystem::path> files);

    QComboBox& setPicker() { return *setPicker_; }
    QPushButton& exportButton() { return *export_; }
    QLabel& status() { return *status_; }
    QLabel& notices() { return *notices_; }
    QLineEdit& search() { return *search_; }
    QButtonGroup& filters() { return *filters_; }
    TintraEventListView& events() { return *events_; }

private:
    void buildHeader(QBoxLayout& layout);
    void buildFilterBar(QBoxLayout& layout);
    void redrawSets();
    void redrawStatus();
    void redrawTransfers();
    void reveal();
    void openImporter(bool folders);
    void openExporter();
    void chooseCustomSound(TintraSoundID soundID);
    void showFailure(const std::string& text);

    TintraController& controller_;
    Defaults& defaults_;
    const TintraSettingsShell& shell_;
    std::optional<std::string> failure_;

    QComboBox* setPicker_ = nullptr;
    QPushButton* export_ = nullptr;
    QLabel* progressText_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* notices_ = nullptr;
    QButtonGroup* filters_ = nullptr;
    QLineEdit* search_ = nullptr;
    TintraEventListView* events_ = nullptr;
};

} // namespace tintra
