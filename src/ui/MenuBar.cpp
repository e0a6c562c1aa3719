#include "ui/MenuBar.h"

#include "engine/Controller.h"
#include "silence/SilenceMonitor.h"
#include "ui/Binding.h"

#include <QDesktopServices>
#include <QIcon>
#include <QUrl>

#include <iostream>

namespace tintra {

namespace {

using Role = TintraMenuBarItem::Role;

QIcon menuBarIcon(std::string_view imageName)
{
    const auto name = QString::fromUtf8(imageName.data(), qsizetype(imageName.size()));
    // The installed theme icon where there is one, else the copy compiled in.
    return QIcon::fromTheme("org.tintradorvel.TintraDorvel." + name, QIcon(":/tintra-dorvel/icons/" + name + ".svg"));
}

bool isFile(const std::filesystem::path& file)
{
    std::error_code error;
    return !file.empty() && std::filesystem::is_regular_file(file, error);
}

} // namespace

TintraMenuBar::TintraMenuBar(TintraController& controller, TintraSilenceMonitor& silence, Shell shell)
    : controller_(controller)
    , silence_(silence)
    , shell_(std::move(shell))
    , isAccessibilityTrusted_(shell_.isAccessibilityTrusted())
    , menu_(std::make_unique<QMenu>())
    , trayIcon_(std::make_unique<QSystemTrayIcon>())
{
    if (!shell_.openDocument)
        shell_.openDocument = [](const std::filesystem::path& file) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
        };
    build();
    trayIcon_->setContextMenu(menu_.get());
    QObject::connect(menu_.get(), &QMenu::aboutToShow, [this] { menuWillOpen(); });
    bindSources();
    if (controller_.showsMenuBarItem().get() && !QSystemTrayIcon::isSystemTrayAvailable())
        std::cout << "TintraMenuBar: this session has no tray, so the speaker is not shown; sounds go on playing, "
                     "and launching Tintra Dorvel again opens its settings."
                  << std::endl;
}

TintraMenuBar::~TintraMenuBar() = default;

void TintraMenuBar::build()
{
    menu_->setToolTipsVisible(true);
    // Every row exists from the start, so the items keep their identity while their states change.
    auto rows = menuBarItems(TintraMenuBarState { .status = {}, .hasReadMe = true });
    for (const auto& item : rows) {
        if (item.role == Role::separator) {
            menu_->addSeparator();
            continue;
        }
        auto* action = menu_->addAction(QString::fromStdString(item.title));
        action->setCheckable(item.isChecked.has_value());
        QObject::connect(action, &QAction::triggered, [this, role = item.role](bool checked) { perform(role, checked); });
        actions_[item.role] = action;
    }
}

void TintraMenuBar::bindSources()
{
    auto& owner = *trayIcon_;
    const auto redrawOn = [this](const auto&) { redraw(); };
    bindValue(owner, controller_.isRunning(), redrawOn);
    bindValue(owner, controller_.playsClickSounds(), redrawOn);
    bindValue(owner, controller_.playsKeyPressSounds(), redrawOn);
    bindValue(owner, controller_.library().bundles(), redrawOn);
    bindValue(owner, controller_.assignments().baselineIdentifier(), redrawOn);
    bindValue(owner, controller_.assignments().overrides(), redrawOn);
    bindValue(owner, controller_.assignments().customSounds(), redrawOn);
    bindValue(owner, shell_.canCheckForUpdates, redrawOn);
    new TintraBinding(owner, controller_.player().observe([this] { redraw(); }));
    new TintraBinding(owner, silence_.observeNoticedReason(redrawOn));
    bindValue(owner, controller_.showsMenuBarItem(), [this](bool shows) { trayIcon_->setVisible(shows); });
}

std::optional<TintraSoundObstacle> TintraMenuBar::obstacle()
{
    return currentObstacle(controller_, silence_, { shell_.isSandboxed, isAccessibilityTrusted_ });
}

void TintraMenuBar::redraw()
{
    const auto current = obstacle();
    const auto label = TintraMenuBarLabel::of(current);
    trayIcon_->setIcon(menuBarIcon(label.imageName));
    trayIcon_->setToolTip(QString::fromStdString(label.accessibilityLabel));

    const auto status = TintraMenuBarStatusLine::of(current, controller_.player().playableSoundCount());
    const auto state = TintraMenuBarState::read(controller_, status, isFile(shell_.readMe),
        shell_.canCheckForUpdates.get());
    actions_.at(Role::readMe)->setVisible(state.hasReadMe);
    for (const auto& item : menuBarItems(state)) {
        if (item.role == Role::separator)
            continue;
        auto& action = *actions_.at(item.role);
        action.setText(QString::fromStdString(item.title));
        action.setEnabled(item.isEnabled);
        action.setToolTip(QString::fromStdString(item.help.empty() ? item.title : item.help));
        if (item.isChecked)
            action.setChecked(*item.isChecked);
    }
}

void TintraMenuBar::refreshAccess()
{
    isAccessibilityTrusted_ = shell_.isAccessibilityTrusted();
    silence_.refreshFocus();
    // Tells the noticed-reason observers when the renewed answer differs.
    silence_.currentReason();
    redraw();
}

void TintraMenuBar::menuWillOpen()
{
    // Opening the menu is this desktop's moment of the application becoming active.
    refreshAccess();
}

void TintraMenuBar::perform(Role role, bool checked)
{
    switch (role) {
    case Role::playsNotificationSounds:
        controller_.setPlaysNotificationSounds(checked);
        break;
    case Role::playsClickSounds:
        controller_.setPlaysClickSounds(checked);
        break;
    case Role::playsKeyPressSounds:
        controller_.setPlaysKeyPressSounds(checked);
        break;
    case Role::testSound:
        controller_.player().preview(testSoundID);
        break;
    case Role::settings:
        if (shell_.openSettings)
            shell_.openSettings();
        break;
    case Role::readMe:
        if (isFile(shell_.readMe))
            shell_.openDocument(shell_.readMe);
        break;
    case Role::checkForUpdates:
        if (shell_.canCheckForUpdates.get() && shell_.checkForUpdates)
            shell_.checkForUpdates();
        break;
    case Role::quit:
        if (shell_.quit)
            shell_.quit();
        break;
    case Role::status:
    case Role::separator:
        break;
    }
    // A switch the controller refused (or that changed nothing) shows its real state again.
    redraw();
}

} // namespace tintra
