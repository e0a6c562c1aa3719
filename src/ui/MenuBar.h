#pragma once

#include "support/Observable.h"
#include "ui/MenuBarItems.h"
#include "ui/SoundObstacle.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

namespace tintra {

class TintraController;
class TintraSilenceMonitor;

// The tray's speaker and its menu: present while the controller shows the
// menu-bar item, its picture and tooltip redrawn whenever anything the status
// summary reads changes, its switches bound both ways. Main thread only.
class TintraMenuBar {
public:
    // What the menu asks of the application shell.
    struct Shell {
        // The updater's gate and its user-initiated check.
        const Observable<bool>& canCheckForUpdates;
        std::function<void()> checkForUpdates;
        std::function<void()> openSettings;
        std::function<void()> quit;
        // The platform's answer, asked again each time the menu opens.
        std::function<bool()> isAccessibilityTrusted;
        bool isSandboxed = false;
        // Offered only while the file exists; opened with the desktop's viewer.
        std::filesystem::path readMe;
        std::function<void(const std::filesystem::path&)> openDocument;
    };

    TintraMenuBar(TintraController& controller, TintraSilenceMonitor& silence, Shell shell);
    ~TintraMenuBar();
    TintraMenuBar(const TintraMenuBar&) = delete;
    TintraMenuBar& operator=(const TintraMenuBar&) = delete;

    QSystemTrayIcon& trayIcon() { return *trayIcon_; }
    QMenu& menu() { return *menu_; }
    QAction& action(TintraMenuBarItem::Role role) { return *actions_.at(role); }

    // The counterpart of the application becoming active: trust is read again
    // and the silence answers are renewed, so the next picture is current.
    void refreshAccess();

private:
    void build();
    void bindSources();
    void redraw();
    void menuWillOpen();
    void perform(TintraMenuBarItem::Role role, bool checked);
    std::optional<TintraSoundObstacle> obstacle();

    TintraController& controller_;
    TintraSilenceMonitor& silence_;
    Shell shell_;
    bool isAccessibilityTrusted_ = false;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    std::map<TintraMenuBarItem::Role, QAction*> actions_;
};

} // namespace tintra
