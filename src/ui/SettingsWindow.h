#pragma once

#include "ui/SettingsShell.h"

#include <QBoxLayout>
#include <QTabWidget>
#include <QWidget>

#include <filesystem>
#include <vector>

namespace tintra {

class Defaults;
class MainExecutor;
class TintraAfflictedAppsTab;
class TintraController;
class TintraGeneralTab;
class TintraSilenceMonitor;
class TintraSoundLogTab;
class TintraSoundSetsTab;

// The one window: General, Sound Sets, Afflicted Apps and "WTF Was That?!",
// a view over the controller's objects in which every switch writes straight
// through. Files dropped on it are imported as sound sets. Main thread only;
// everything it is given must outlive it.
class TintraSettingsWindow : public QWidget {
public:
    enum class Tab { general, soundSets, afflictedApps, soundLog };

    // Hidden until showAndRaise. The tab shown is kept under "TintraSettingsTab".
    TintraSettingsWindow(TintraController& controller, TintraSilenceMonitor& silence, Defaults& defaults,
        MainExecutor& executor, TintraSettingsShell shell = {});
    ~TintraSettingsWindow() override;

    // What the tray's "Settings" and a second launch do: show, bring to the
    // front and read accessibility trust again.
    void showAndRaise();
    // Files opened with the program or dropped on the window; shows the Sound Sets tab.
    void importFiles(std::vector<std::filesystem::path> files);
    void showTab(Tab tab);

    QTabWidget& tabs() { return *tabs_; }
    TintraGeneralTab& general() { return *general_; }
    TintraSoundSetsTab& soundSets() { return *soundSets_; }
    TintraAfflictedAppsTab& afflictedApps() { return *afflictedApps_; }
    TintraSoundLogTab& soundLog() { return *soundLog_; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void addHelpRow(QBoxLayout& layout);

    TintraSettingsShell shell_;
    Defaults& defaults_;
    QTabWidget* tabs_ = nullptr;
    TintraGeneralTab* general_ = nullptr;
    TintraSoundSetsTab* soundSets_ = nullptr;
    TintraAfflictedAppsTab* afflictedApps_ = nullptr;
    TintraSoundLogTab* soundLog_ = nullptr;
};

} // namespace tintra
