#pragma once

#include <QLabel>
#include <QTreeWidget>
#include <QWidget>

namespace tintra {

class TintraController;

// The Afflicted Apps tab: every running application with its observation
// state, and the switch that excludes it.
class TintraAfflictedAppsTab : public QWidget {
public:
    explicit TintraAfflictedAppsTab(TintraController& controller);

    QLabel& summary() { return *summary_; }
    QTreeWidget& list() { return *list_; }

private:
    void redraw();
    void excludedChanged(QTreeWidgetItem& item);

    TintraController& controller_;
    QLabel* summary_ = nullptr;
    QTreeWidget* list_ = nullptr;
};

} // namespace tintra
