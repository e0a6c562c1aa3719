#include "ui/GeneralTab.h"

#include "engine/Controller.h"
#include "shell/LoginItem.h"
#include "shell/PellUpdater.h"
#include "silence/SilenceMonitor.h"
#include "support/PlatformTerms.h"
#include "ui/Binding.h"
#include "ui/MenuBarItems.h"
#include "ui/SettingsWidgets.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QSystemTrayIcon>

#include <cmath>
#include <filesystem>

namespace tintra {

namespace {

constexpr int volumeSteps = 100;

QString recentEventText(const TintraEvent& event)
{
    return qText(event.notificationName) + "   " + qText(event.applicationName.value_or("")) + "   pid "
        + QString::number(event.processIdentifier);
}

} // namespace

TintraGeneralTab::TintraGeneralTab(TintraController& controller, TintraSilenceMonitor& silence,
    const TintraSettingsShell& shell)
    : controller_(controller)
    , silence_(silence)
    , shell_(shell)
    , isTrusted_(!shell.isAccessibilityTrusted || shell.isAccessibilityTrusted())
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    buildNotifications(*layout);
    buildClicksAndKeys(*layout);
    buildPlayback(*layout);
    buildMenuBar(*layout);
    buildLogin(*layout);
    buildUpdates(*layout);
    buildMonitor(*layout);
    layout->addStretch();

    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

void TintraGeneralTab::buildNotifications(QBoxLayout& parent)
{
    auto& layout = addSection(parent, "Notification Sounds");
    notifications_ = &addSwitch(*this, layout, "Play sounds for accessibility notifications", controller_.isRunning(),
        [this](bool on) { controller_.setPlaysNotificationSounds(on); });
    auto* access = new QHBoxLayout;
    accessNote_ = new QLabel("Accessibility access is required to hear other apps.");
    showStatus(*accessNote_, { accessNote_->text().toStdString(), TintraStatusText::Tone::warning });
    grant_ = new QPushButton("Grant…");
    grant_->setAccessibleName("Grant accessibility access");
    connect(grant_, &QPushButton::clicked, this, [this] {
        if (shell_.requestAccessibility)
            shell_.requestAccessibility();
        refreshAccess();
    });
    access->addWidget(accessNote_);
    access->addWidget(grant_);
    access->addStretch();
    layout.addLayout(access);

    attaching_ = new QProgressBar;
    attaching_->setAccessibleName("Attaching to applications");
    caption_ = &addNote(layout);
    layout.insertWidget(layout.indexOf(caption_), attaching_);
    status_ = &addNote(layout);

    const auto redrawOn = [this](const auto&) { redrawNotifications(); };
    bindValue(*this, controller_.isRunning(), redrawOn);
    bindValue(*this, controller_.isAttaching(), redrawOn);
    bindValue(*this, controller_.applicationsAttached(), redrawOn);
    bindValue(*this, controller_.applicationsToAttach(), redrawOn);
    bindValue(*this, controller_.observedApplicationCount(), redrawOn);
    bindValue(*this, controller_.registeredNotificationCount(), redrawOn);
    bindValue(*this, controller_.failedObserverCount(), redrawOn);
    bindValue(*this, controller_.transfers().lastFailureDescription(), redrawOn);
    bindValue(*this, controller_.library().bundles(), redrawOn);
    bindValue(*this, controller_.assignments().baselineIdentifier(), redrawOn);
    bindValue(*this, controller_.assignments().overrides(), redrawOn);
    bindValue(*this, controller_.assignments().customSounds(), redrawOn);
}

void TintraGeneralTab::redrawNotifications()
{
    accessNote_->setVisible(!isTrusted_);
    grant_->setVisible(!isTrusted_ && bool(shell_.requestAccessibility));
    const bool isAttaching = controller_.isAttaching().get();
    attaching_->setVisible(isAttaching);
    attaching_->setRange(0, std::max(1, controller_.applicationsToAttach().get()));
    attaching_->setValue(controller_.applicationsAttached().get());
    if (isAttaching)
        caption_->setText(qText(attachingCaption(controller_.applicationsAttached().get(),
            controller_.applicationsToAttach().get())));
    else
        caption_->setText(qText(observingCaption(controller_.observedApplicationCount().get(),
            controller_.registeredNotificationCount().get())));
    caption_->setVisible(isAttaching || controller_.isRunning().get());

    const auto* baseline = controller_.library().bundle(controller_.assignments().baselineIdentifier().get());
    showStatus(*status_, soundSetStatusLine(controller_.transfers().lastFailureDescription().get(),
                             controller_.problemDescription(), controller_.player().playableSoundCount(),
                             baseline ? std::optional(baseline->metadata().name) : std::nullopt));
}

void TintraGeneralTab::buildClicksAndKeys(QBoxLayout& parent)
{
    auto& clicks = addSection(parent, "Click Sounds");
    addSwitch(*this, clicks, "Play sounds for clicks on controls", controller_.playsClickSounds(),
        [this](bool on) { controller_.setPlaysClickSounds(on); });
    addSwitch(*this, clicks, "Play sounds for all clicks", controller_.playsGenericClickSound(),
        [this](bool on) { controller_.setPlaysGenericClickSound(on); });
    if (controller_.offersClickSparks())
        addSwitch(*this, clicks, "Mark them on screen as well", controller_.showsClickSparks(),
            [this](bool on) { controller_.setShowsClickSparks(on); },
            "Throws a handful of small colored squares out from the pointer on every click, fading as they go.");

    auto& keys = addSection(parent, "Key Presses");
    keyPresses_ = &addSwitch(*this, keys, keyPressSwitchLabel(true), controller_.playsKeyPressSounds(),
        [this](bool on) { controller_.setPlaysKeyPressSounds(on); },
        "Plays a sound each time you press a key in another app. When auto-pan is on, keys on the left of the "
        "keyboard play from the left, and keys on the right play from the right.");
    keyPressNote_ = &addNote(keys);
    const auto redrawOn = [this](const auto&) { redrawKeyPress(); };
    bindValue(*this, controller_.library().bundles(), redrawOn);
    bindValue(*this, controller_.assignments().baselineIdentifier(), redrawOn);
    bindValue(*this, controller_.assignments().overrides(), redrawOn);
    bindValue(*this, controller_.assignments().customSounds(), redrawOn);
}

void TintraGeneralTab::redrawKeyPress()
{
    const bool hasSound = controller_.player().hasSound(TintraSoundID::keyPress);
    keyPresses_->setText(qText(keyPressSwitchLabel(hasSound)));
    const auto note = keyPressNote(hasSound);
    keyPressNote_->setText(qText(note.value_or("")));
    keyPressNote_->setVisible(note.has_value());
}

void TintraGeneralTab::buildPlayback(QBoxLayout& parent)
{
    auto& layout = addSection(parent, "Playback");
    auto* row = new QHBoxLayout;
    auto* label = new QLabel("Volume");
    volume_ = new QSlider(Qt::Horizontal);
    volume_->setRange(0, volumeSteps);
    volume_->setAccessibleName("Volume");
    label->setBuddy(volume_);
    row->addWidget(label);
    row->addWidget(volume_, 1);
    layout.addLayout(row);
    connect(volume_, &QSlider::valueChanged, this,
        [this](int value) { controller_.player().setMasterVolume(double(value) / volumeSteps); });

    autoPan_ = new QCheckBox("Auto-pan with the pointer");
    layout.addWidget(autoPan_);
    connect(autoPan_, &QCheckBox::toggled, this, [this](bool on) { controller_.player().setStereoEnabled(on); });
    const auto redrawPlayer = [this] {
        const QSignalBlocker quietVolume(volume_), quietPan(autoPan_);
        volume_->setValue(int(std::lround(controller_.player().masterVolume() * volumeSteps)));
        autoPan_->setChecked(controller_.player().isStereoEnabled());
    };
    redrawPlayer();
    new TintraBinding(*this, controller_.player().observe(redrawPlayer));

    auto* buttons = new QHBoxLayout;
    auto* test = new QPushButton("Test Sound");
    connect(test, &QPushButton::clicked, this, [this] { controller_.player().preview(testSoundID); });
    auto* rescan = new QPushButton("Rescan Apps");
    rescan->setToolTip("Detaches from every application and attaches again.");
    connect(rescan, &QPushButton::clicked, this, [this] { controller_.attachAll(); });
    buttons->addWidget(test);
    buttons->addWidget(rescan);
    buttons->addStretch();
    layout.addLayout(buttons);
    buildSilenceReasons(layout);
}

void TintraGeneralTab::buildSilenceReasons(QBoxLayout& layout)
{
    reasonsTitle_ = new QToolButton;
    reasonsTitle_->setCheckable(true);
    reasonsTitle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    reasonsTitle_->setArrowType(Qt::RightArrow);
    reasonsTitle_->setAutoRaise(true);
    layout.addWidget(reasonsTitle_);
    silentNow_ = &addNote(layout);

    reasons_ = new QWidget;
    auto* list = new QVBoxLayout(reasons_);
    for (const auto reason : silence_.availableReasons()) {
        auto* box = new QCheckBox(qText(label(reason)));
        box->setToolTip(qText(explanation(reason)));
        box->setAccessibleDescription(box->toolTip());
        list->addWidget(box);
        addNote(*list, explanation(reason));
        connect(box, &QCheckBox::toggled, this, [this, reason](bool on) { silence_.setEnabled(on, reason); });
        reasonSwitches_.emplace_back(reason, box);
        if (reason == TintraSilenceReason::focus)
            focusNote_ = &addNote(*list, "Focus status access has not been granted, so that one never fires.");
    }
    reasons_->setVisible(false);
    layout.addWidget(reasons_);
    connect(reasonsTitle_, &QToolButton::toggled, this, [this](bool open) {
        reasons_->setVisible(open);
        reasonsTitle_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    });

    new TintraBinding(*this, silence_.observeEnabledReasons([this](const auto&) { redrawSilence(); }));
    new TintraBinding(*this, silence_.observeNoticedReason([this](const auto&) { redrawSilence(); }));
    redrawSilence();
}

void TintraGeneralTab::redrawSilence()
{
    reasonsTitle_->setText(qText(silenceReasonsTitle(int(silence_.enabledReasons().size()))));
    for (const auto& [reason, box] : reasonSwitches_) {
        const QSignalBlocker quiet(box);
        box->setChecked(silence_.isEnabled(reason));
    }
    const auto holding = silence_.noticedReason();
    silentNow_->setText(holding ? "Silent: " + qText(label(*holding)) : QString());
    silentNow_->setVisible(holding.has_value());
    if (focusNote_)
        focusNote_->setVisible(silence_.needsFocusAccess());
}

void TintraGeneralTab::buildMenuBar(QBoxLayout& parent)
{
    auto& layout = addSection(parent, "Menu Bar");
    addSwitch(*this, layout, "Show Tintra Dorvel in the menu bar", controller_.showsMenuBarItem(),
        [this](bool on) { controller_.setShowsMenuBarItem(on); },
        "A speaker in the menu bar saying whether anything can be heard right now, and why not when nothing can. "
        "Its menu has the switches above it and this window.");
    auto& hidden = addNote(layout,
        "This session has no tray to show the speaker in, so it stays hidden while this switch is on. "
        "To return to these settings, start Tintra Dorvel again.");
    bindValue(hidden, controller_.showsMenuBarItem(),
        [&hidden](bool shows) { hidden.setVisible(shows && !QSystemTrayIcon::isSystemTrayAvailable()); });
}

void TintraGeneralTab::buildLogin(QBoxLayout& parent)
{
    if (!shell_.loginItem)
        return;
    auto& item = *shell_.loginItem;
    auto& layout = addSection(parent, "Login");
    bindValue(*this, item.status(), [this, &item](const auto&) { opensAtLogin_.set(item.isEnabled()); });
    addSwitch(*this, layout, "Open at Login", opensAtLogin_, [&item](bool on) { item.setEnabled(on); },
        "Tintra Dorvel only makes anything sound different while it is running, and it runs in the menu bar rather "
        "than anywhere you would think to launch it from.");
    auto& line = addNote(layout);
    const auto redrawLine = [&line, &item](const auto&) {
        const auto text = item.statusDescription();
        line.setText(qText(text.value_or("")));
        line.setVisible(text.has_value());
    };
    bindValue(line, item.status(), redrawLine);
    bindValue(line, item.failureDescription(), redrawLine);

    if (shell_.loginItemsFolder.empty())
        return;
    auto* open = new QPushButton(qText("Open " + std::string(platformTerm::loginItems) + "…"));
    connect(open, &QPushButton::clicked, this, [this] {
        // The folder is there only once something has been set to open at login.
        std::error_code error;
        std::filesystem::create_directories(shell_.loginItemsFolder, error);
        if (!error)
            showFolder(shell_, shell_.loginItemsFolder);
    });
    layout.addWidget(open, 0, Qt::AlignLeft);
}

void TintraGeneralTab::buildUpdates(QBoxLayout& parent)
{
    if (!shell_.updater)
        return;
    auto& updater = *shell_.updater;
    auto& layout = addSection(parent, "Updates");
    addSwitch(*this, layout, "Automatically check for updates", updater.checksAutomatically(),
        [&updater](bool on) { updater.setChecksAutomatically(on); });
    auto* check = new QPushButton("Check for Updates…");
    connect(check, &QPushButton::clicked, this, [&updater] { updater.checkForUpdates(); });
    bindValue(*check, updater.canCheckForUpdates(), [check](bool can) { check->setEnabled(can); });
    layout.addWidget(check, 0, Qt::AlignLeft);
    auto& line = addNote(layout);
    const auto redrawLine = [&line, &updater](const auto&) {
        const auto text = updater.problemDescription() ? updater.problemDescription() : updater.lastCheckText();
        line.setText(qText(text.value_or("")));
        line.setVisible(text.has_value());
    };
    bindValue(line, updater.lastCheckDate(), redrawLine);
    bindValue(line, updater.startFailureDescription(), redrawLine);
}

void TintraGeneralTab::buildMonitor(QBoxLayout& parent)
{
    auto& layout = addSection(parent, "Monitor");
    addSwitch(*this, layout, "Log notifications from other apps", controller_.isMonitoring(),
        [this](bool on) { controller_.setMonitoring(on); });
    recent_ = new QListWidget;
    recent_->setAccessibleName("Recent notifications");
    recent_->setMinimumHeight(120);
    auto* clear = new QPushButton("Clear");
    clear->setAccessibleName("Clear the recent notifications");
    connect(clear, &QPushButton::clicked, this, [this] { controller_.clearRecentEvents(); });
    layout.addWidget(recent_);
    layout.addWidget(clear, 0, Qt::AlignRight);
    bindValue(*this, controller_.isMonitoring(), [this, clear](bool on) {
        recent_->setVisible(on);
        clear->setVisible(on);
    });
    bindValue(*this, controller_.recentEvents(), [this](const auto&) { redrawRecentEvents(); });
}

void TintraGeneralTab::redrawRecentEvents()
{
    recent_->clear();
    const auto& events = controller_.recentEvents().get();
    if (events.empty()) {
        auto* placeholder = new QListWidgetItem("Switch to another app and open a menu…", recent_);
        placeholder->setFlags(Qt::NoItemFlags);
        return;
    }
    const auto playing = themeIcon("audio-volume-high", QStyle::SP_MediaVolume);
    const auto silent = themeIcon("audio-volume-muted", QStyle::SP_MediaVolumeMuted);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (auto event = events.rbegin(); event != events.rend(); ++event) {
        auto* item = new QListWidgetItem(controller_.player().hasSound(event->soundID) ? playing : silent,
            recentEventText(*event), recent_);
        item->setFont(mono);
    }
}

void TintraGeneralTab::refreshAccess()
{
    isTrusted_ = !shell_.isAccessibilityTrusted || shell_.isAccessibilityTrusted();
    redrawNotifications();
    redrawSilence();
}

} // namespace tintra
