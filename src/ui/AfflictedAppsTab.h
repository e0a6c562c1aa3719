#pragma once

#include "ui/SettingsShell.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include <optional>
#include <string>

namespace tintra {

class TintraController;
struct TintraAfflictedApplication;

// The Afflicted Apps tab: every running application with its observation
// state, each with the button that excludes or includes it, and a chooser
// for excluding an application that is not running.
class TintraAfflictedAppsTab : public QWidget {
public:
    TintraAfflictedAppsTab(TintraController& controller, const TintraSettingsShell& shell);

    QLabel& summary() { return *summary_; }
    QTreeWidget& list() { return *list_; }
    QLabel& notice() { return *notice_; }
    // The Include or Exclude button of the row with the identity.
    QPushButton* rowButton(const std::string& id);
    // Shows the row's application file, or says it is gone and rebuilds the list.
    void reveal(const std::string& id);

private:
    void redraw();
    void addRow(const TintraAfflictedApplication& row);
    void toggle(const TintraAfflictedApplication& row);
    void chooseApplicationFile();
    void showNotice(std::optional<std::string> text);

    TintraController& controller_;
    const TintraSettingsShell& shell_;
    QLabel* summary_ = nullptr;
    QLabel* notice_ = nullptr;
    QLabel* empty_ = nullptr;
    QTreeWidget* list_ = nullptr;
};

} // namespace tintra
