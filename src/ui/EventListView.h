#pragma once

#include "catalogue/EventFilter.h"
#include "catalogue/SoundID.h"
#include "ui/EventList.h"
#include "ui/EventRowOptions.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tintra {

class MainExecutor;
class TintraController;

// The per-event list of the Sound Sets tab: a section per category, a row per
// event with its preview button and picker. Changes of the library and the
// assignments are gathered into one redraw on the main executor; the filter
// and the search only show and hide rows.
class TintraEventListView : public QWidget {
public:
    // `chooseCustomSound` opens the file chooser for the event; `failed` shows
    // a choice that could not be made.
    TintraEventListView(TintraController& controller, MainExecutor& executor,
        std::function<void(TintraSoundID)> chooseCustomSound, std::function<void(const std::string&)> failed);

    void setFilter(TintraEventFilter filter);
    void setSearch(const QString& search);
    TintraEventFilter filter() const { return filter_; }

    QTreeWidget& tree() { return *tree_; }
    QLabel& emptyText() { return *empty_; }
    QToolButton& previewButton(TintraSoundID soundID) { return *row(soundID).preview; }
    QComboBox& picker(TintraSoundID soundID) { return *row(soundID).picker; }
    // The names of the rows shown now, in list order.
    std::vector<std::string> shownNames() const;

private:
    struct Row {
        TintraSoundID soundID;
        QTreeWidgetItem* item = nullptr;
        QToolButton* preview = nullptr;
        QComboBox* picker = nullptr;
        std::vector<TintraRowOption> options;
    };

    void build();
    Row& row(TintraSoundID soundID);
    void scheduleRedraw();
    void redraw();
    void redrawRow(Row& row, const TintraEventRow& state);
    void choose(Row& row, int index);
    void applyFilter();

    TintraController& controller_;
    MainExecutor& executor_;
    std::function<void(TintraSoundID)> chooseCustomSound_;
    std::function<void(const std::string&)> failed_;
    TintraEventFilter filter_ = TintraEventFilter::all;
    QString search_;
    bool isRedrawPending_ = false;
    QIcon playsIcon_;
    QIcon silentIcon_;

    QTreeWidget* tree_ = nullptr;
    QLabel* empty_ = nullptr;
    std::map<TintraSoundCategory, QTreeWidgetItem*> sections_;
    // In the catalogue's order, as the row states are read.
    std::vector<Row> rows_;
    std::vector<TintraEventRow> states_;
};

} // namespace tintra
