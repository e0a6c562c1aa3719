#pragma once

#include "soundlog/SoundLogReport.h"
#include "ui/SettingsShell.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

namespace tintra {

class TintraController;

// The "WTF Was That?!" tab: what played lately by application, when sounds
// were held back, and the button that copies it all as a report.
class TintraSoundLogTab : public QWidget {
public:
    TintraSoundLogTab(TintraController& controller, const TintraSettingsShell& shell);

    QLabel& summary() { return *summary_; }
    QListWidget& silences() { return *silences_; }
    QTreeWidget& sections() { return *sections_; }
    QPushButton& copyButton() { return *copy_; }

    // Puts the report on the clipboard: the button, and the program's "copy-report" action.
    void copyReport();

private:
    TintraSoundLogReport report() const;
    void redrawSections();
    void redrawSilences();

    TintraController& controller_;
    const TintraSettingsShell& shell_;
    QLabel* summary_ = nullptr;
    QListWidget* silences_ = nullptr;
    QTreeWidget* sections_ = nullptr;
    QPushButton* copy_ = nullptr;
};

} // namespace tintra
