#pragma once

#include "silence/SilenceReason.h"
#include "support/Observable.h"
#include "ui/SettingsShell.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QWidget>

#include <utility>
#include <vector>

namespace tintra {

class TintraController;
class TintraSilenceMonitor;

// The General tab: the switches of every route, playback, the silence reasons,
// the tray's switch, opening at login, updates and the monitor of recent notifications.
class TintraGeneralTab : public QWidget {
public:
    TintraGeneralTab(TintraController& controller, TintraSilenceMonitor& silence, const TintraSettingsShell& shell);

    // Reads accessibility trust again, as the window comes to the front.
    void refreshAccess();

    QCheckBox& notificationSwitch() { return *notifications_; }
    QCheckBox& keyPressSwitch() { return *keyPresses_; }
    QLabel& statusLine() { return *status_; }
    QSlider& volume() { return *volume_; }
    QListWidget& recentEvents() { return *recent_; }

private:
    void buildNotifications(QBoxLayout& layout);
    void buildClicksAndKeys(QBoxLayout& layout);
    void buildPlayback(QBoxLayout& layout);
    void buildSilenceReasons(QBoxLayout& layout);
    void buildMenuBar(QBoxLayout& layout);
    void buildLogin(QBoxLayout& layout);
    void buildUpdates(QBoxLayout& layout);
    void buildMonitor(QBoxLayout& layout);
    void redrawNotifications();
    void redrawKeyPress();
    void redrawSilence();
    void redrawRecentEvents();

    TintraController& controller_;
    TintraSilenceMonitor& silence_;
    const TintraSettingsShell& shell_;
    bool isTrusted_ = true;
    // The login item's switch as a plain on/off, so that a refused change springs back.
    Observable<bool> opensAtLogin_ { false };

    QCheckBox* notifications_ = nullptr;
    QLabel* accessNote_ = nullptr;
    QPushButton* grant_ = nullptr;
    QProgressBar* attaching_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* status_ = nullptr;
    QCheckBox* keyPresses_ = nullptr;
    QLabel* keyPressNote_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* autoPan_ = nullptr;
    QToolButton* reasonsTitle_ = nullptr;
    QWidget* reasons_ = nullptr;
    QLabel* silentNow_ = nullptr;
    QLabel* focusNote_ = nullptr;
    std::vector<std::pair<TintraSilenceReason, QCheckBox*>> reasonSwitches_;
    QListWidget* recent_ = nullptr;
};

} // namespace tintra
