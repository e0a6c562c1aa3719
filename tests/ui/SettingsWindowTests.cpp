#include "ui/SettingsWindow.h"

#include "fakes/ControllerRig.h"
#include "fakes/LoginItemServiceFake.h"
#include "fakes/SoundSetFiles.h"
#include "shell/LoginItem.h"
#include "soundsets/ClassicFileWriter.h"
#include "ui/AfflictedAppsTab.h"
#include "ui/GeneralTab.h"
#include "ui/SoundLogTab.h"
#include "ui/SoundSetsTab.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QScrollBar>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

namespace tintra {
namespace {

namespace fs = std::filesystem;
using namespace tintra::testing;

constexpr TintraSoundID kMenuOpen { "mnuo" };
constexpr TintraSoundID kMenuClose { "mnuc" };

// The window over a controller on the fakes, with two sets installed.
struct SettingsWindowTest : ::testing::Test {
    ControllerRig rig;
    TintraController& controller = rig.make();
    LoginItemServiceFake loginService;
    TintraLoginItem loginItem { loginService, false };
    std::vector<fs::path> revealed;
    std::unique_ptr<TintraSettingsWindow> window;
    int abouts = 0;
    bool trusted = true;
    int grants = 0;

    void SetUp() override
    {
        rig.installSet("classic", { kMenuOpen, TintraSoundID::keyPress });
        rig.installSet("zither", { kMenuOpen, kMenuClose });
        controller.reloadLibrary();
        window = std::make_unique<TintraSettingsWindow>(controller, *rig.silence, rig.defaults, rig.executor,
            TintraSettingsShell { .isAccessibilityTrusted = [this] { return trusted; },
                .requestAccessibility =
                    [this] {
                        ++grants;
                        trusted = true;
                    },
                .about = [this] { ++abouts; },
                .reportBug = {},
                .revealFolder = [this](const fs::path& folder) { revealed.push_back(folder); },
                .loginItem = &loginItem,
                .loginItemsFolder = rig.folder / "autostart",
                .clock = &rig.clock });
    }
    template <typename Widget>
    Widget& find(QWidget& inside, const QString& text)
    {
        for (auto* widget : inside.findChildren<Widget*>()) {
            if (widget->text() == text)
                return *widget;
        }
        throw std::runtime_error("no widget says " + text.toStdString());
    }
    // Runs the main thread until the background hands nothing more back.
    void settle()
    {
        rig.run();
        while (controller.transfers().isImportingSets().get() || controller.transfers().isExportingSet().get()) {
            ASSERT_TRUE(rig.executor.waitForPost(std::chrono::seconds(10))) << "the background never answered";
            rig.run();
        }
    }
    TintraSoundSetsTab& sets() { return window->soundSets(); }
    // As the dialog's own button does: QFileDialog keeps accept() to itself.
    static void accept(QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); }
    // The file dialog the window opened last, still open.
    static QFileDialog& openDialog()
    {
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
                return *dialog;
        }
        throw std::runtime_error("no file dialog is open");
    }
};

TEST_F(SettingsWindowTest, SwitchesWriteTheirKeysAndFollowOutsideChanges)
{
    auto& general = window->general();
    auto& clicks = find<QCheckBox>(general, "Play sounds for clicks on controls");
    const bool was = controller.playsClickSounds().get();
    EXPECT_EQ(clicks.isChecked(), was);
    clicks.click();
    EXPECT_EQ(controller.playsClickSounds().get(), !was);
    EXPECT_EQ(rig.defaults.boolForKey("TintraPlaysClickSounds", was), !was);

    controller.setPlaysKeyPressSounds(!controller.playsKeyPressSounds().get());
    EXPECT_EQ(general.keyPressSwitch().isChecked(), controller.playsKeyPressSounds().get());
    EXPECT_EQ(general.keyPressSwitch().text(), "Play sounds for key presses");

    general.notificationSwitch().click();
    EXPECT_TRUE(controller.isRunning().get());
    controller.stop();
    EXPECT_FALSE(general.notificationSwitch().isChecked());

    controller.player().setMasterVolume(0.25);
    EXPECT_EQ(general.volume().value(), 25);
    general.volume().setValue(80);
    EXPECT_DOUBLE_EQ(controller.player().masterVolume(), 0.8);

    EXPECT_EQ(general.statusLine().text(), "2 events will play, from classic");
    find<QPushButton>(*window, "About Tintra Dorvel").click();
    EXPECT_EQ(abouts, 1);
    EXPECT_THROW(find<QPushButton>(*window, "Report a Bug"), std::runtime_error) << "the shell gave no callback";
}

TEST_F(SettingsWindowTest, GrantAsksForAccessibilityAndTheLineGoesOnceItIsGranted)
{
    auto& general = window->general();
    const QString required = "Accessibility access is required to hear other apps.";
    EXPECT_TRUE(find<QLabel>(general, required).isHidden());
    trusted = false;
    window->showAndRaise();
    EXPECT_FALSE(find<QLabel>(general, required).isHidden()) << "trust is read again as the window comes up";
    find<QPushButton>(general, "Grant…").click();
    EXPECT_EQ(grants, 1);
    EXPECT_TRUE(find<QLabel>(general, required).isHidden());
    EXPECT_TRUE(find<QPushButton>(general, "Grant…").isHidden());
}

TEST_F(SettingsWindowTest, TheLoginSwitchSpringsBackWhenRefusedAndTheLineSaysWhyUntilItWorks)
{
    auto& general = window->general();
    auto& login = find<QCheckBox>(general, "Open at Login");
    loginService.results = { "Permission denied" };
    login.click();
    EXPECT_FALSE(login.isChecked()) << "nothing opens at login, so the switch must not say it does";
    auto& line = find<QLabel>(general, "Could not open Tintra Dorvel at login: Permission denied");
    EXPECT_FALSE(line.isHidden());

    login.click();
    EXPECT_EQ(loginService.current, TintraLoginItemStatus::enabled);
    EXPECT_TRUE(login.isChecked());
    EXPECT_TRUE(line.isHidden());

    find<QPushButton>(general, "Open Autostart Folder…").click();
    EXPECT_TRUE(fs::is_directory(rig.folder / "autostart")) << "a session that never opened anything at login has none";
    EXPECT_EQ(revealed, std::vector { rig.folder / "autostart" });
}

TEST_F(SettingsWindowTest, ChoosingASetInARowsPickerOverridesItAndTheSpeakerFollows)
{
    auto& picker = sets().events().picker(kMenuClose);
    auto& speaker = sets().events().previewButton(kMenuClose);
    EXPECT_EQ(speaker.accessibleDescription(), "Will not play");
    EXPECT_FALSE(sets().exportButton().isEnabled());
    const int zither = picker.findText("zither");
    ASSERT_GE(zither, 0);
    EXPECT_EQ(picker.findText("classic (no sound)"), zither - 1);

    picker.setCurrentIndex(zither);
    Q_EMIT picker.activated(zither);
    EXPECT_EQ(controller.assignments().selection(kMenuClose), TintraSelection::set("zither"));
    rig.run();
    EXPECT_EQ(speaker.accessibleDescription(), "Will play");
    EXPECT_EQ(picker.currentText(), "zither");
    EXPECT_TRUE(sets().exportButton().isEnabled());
    EXPECT_EQ(sets().status().text().toStdString(),
        "2 sets installed. 3 of 139 events will play. The set above applies to every event set to Same as Sound Set.");

    // The baseline chosen elsewhere moves the set picker and the rows' first item.
    controller.assignments().setBaselineIdentifier("zither");
    rig.run();
    EXPECT_EQ(sets().setPicker().currentText(), "zither");
    EXPECT_EQ(sets().events().picker(kMenuOpen).itemText(0), "Same as Sound Set (zither)");
}

TEST_F(SettingsWindowTest, TheCustomSoundFilterWithASearchShowsItsRowsOrTheRightEmptyText)
{
    auto& events = sets().events();
    const auto file = rig.folder / "Pop.wav";
    writeSound(file);
    ASSERT_TRUE(controller.assignments().setCustomSound(file, kMenuClose));
    ASSERT_TRUE(controller.assignments().setCustomSound(file, TintraSoundID("wclp")));
    rig.run();

    sets().filters().button(int(TintraEventFilter::custom))->click();
    EXPECT_EQ(rig.defaults.stringForKey("TintraSettingsEventFilter"), "custom");
    EXPECT_EQ(events.shownNames(), (std::vector<std::string> { "Menu Close", "Window Close Press" }));
    sets().search().setText("  menu ");
    EXPECT_EQ(events.shownNames(), (std::vector<std::string> { "Menu Close" }));
    EXPECT_TRUE(events.emptyText().isHidden());

    sets().search().setText("zap");
    EXPECT_TRUE(events.shownNames().empty());
    EXPECT_FALSE(events.emptyText().isHidden());
    EXPECT_EQ(events.emptyText().text(), "No event matches “zap”.");
    sets().search().setText("   ");
    EXPECT_EQ(events.shownNames().size(), 2u);

    ASSERT_TRUE(controller.assignments().setSelection(TintraSelection::baseline(), kMenuClose));
    ASSERT_TRUE(controller.assignments().setSelection(TintraSelection::baseline(), TintraSoundID("wclp")));
    rig.run();
    EXPECT_EQ(events.emptyText().text(), "No event has been given a file of its own.");
    EXPECT_FALSE(events.emptyText().isHidden());
}

TEST_F(SettingsWindowTest, CopyPutsTheReportOnTheClipboard)
{
    auto& log = window->soundLog();
    EXPECT_FALSE(log.copyButton().isEnabled()) << "nothing to report";
    TintraEvent event;
    event.notificationName = "AXMenuOpened";
    event.soundID = kMenuOpen;
    event.date = rig.clock.now();
    event.origin = TintraEventOrigin::system;
    controller.log().record(event, rig.clock.now());
    EXPECT_EQ(log.sections().topLevelItemCount(), 1);
    ASSERT_TRUE(log.copyButton().isEnabled());

    QApplication::clipboard()->clear();
    log.copyButton().click();
    const auto copied = QApplication::clipboard()->text().toStdString();
    const TintraSoundLogReport report { .sourceName = [this](TintraSoundID soundID) {
                                           return controller.assignments().sourceName(soundID, controller.library());
                                       },
        .now = rig.clock.now() };
    EXPECT_EQ(copied, report.text(controller.log()));
    EXPECT_NE(copied.find("Sound: Menu Open (mnuo) from classic"), std::string::npos) << copied;
}

TEST_F(SettingsWindowTest, AClassicFileDroppedOnTheWindowIsInstalledAndSummarised)
{
    const auto fork = resourceFork(
        { { "snd ", 1, "mnuo", soundFormat2(standardHeader(Bytes(200, 0x90), 0x56EE8BA3)) } });
    const auto file = rig.folder / "drop" / "Platinum";
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(fork.data()), std::streamsize(fork.size()));

    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(file.string())) });
    // The drag enters first: only the widget that accepted it is dropped on.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(window->tabs().currentWidget(), &sets());
    settle();

    EXPECT_EQ(controller.library().bundles().get().size(), 3u);
    EXPECT_NE(sets().setPicker().findText("Platinum"), -1);
    EXPECT_EQ(sets().notices().text(), "Platinum: 1 events from 1 sounds");
    EXPECT_EQ(rig.defaults.stringForKey("TintraSettingsTab"), "soundSets");
}

TEST_F(SettingsWindowTest, TheSilenceReasonsAndTheKeyPressNoteFollowWhatTheyShow)
{
    auto& general = window->general();
    const auto reasons = rig.silence->availableReasons();
    ASSERT_FALSE(reasons.empty());
    for (const auto reason : reasons)
        rig.silence->setEnabled(false, reason);
    auto& title = find<QToolButton>(general, "Never go quiet on their own");
    find<QCheckBox>(general, QString::fromStdString(label(reasons.front()))).click();
    EXPECT_TRUE(rig.silence->isEnabled(reasons.front()));
    EXPECT_EQ(title.text(), "Go quiet for 1 reason");

    ASSERT_TRUE(controller.assignments().setSelection(TintraSelection::silent(), TintraSoundID::keyPress));
    EXPECT_EQ(general.keyPressSwitch().text(), "Play sounds for key presses (no sound assigned)");
    EXPECT_FALSE(find<QLabel>(general,
        "Key Press has no sound assigned, so you won’t hear anything when you type. To assign one, choose a sound "
        "for Key Press in the Sound Sets tab.").isHidden());
}

TEST_F(SettingsWindowTest, TheChooseItemMakesTheChosenFileTheEventsOwnSound)
{
    window->showAndRaise();
    const auto file = rig.folder / "Pop.wav";
    writeSound(file);
    auto& picker = sets().events().picker(kMenuClose);
    const int choose = picker.findText("Choose File…");
    ASSERT_EQ(choose, picker.count() - 1);
    Q_EMIT picker.activated(choose);
    auto& dialog = openDialog();
    dialog.selectFile(QString::fromStdString(file.string()));
    accept(dialog);
    EXPECT_EQ(controller.assignments().selection(kMenuClose), TintraSelection::custom(file));
    rig.run();
    EXPECT_EQ(picker.currentText(), "Pop.wav");
    EXPECT_EQ(sets().events().previewButton(kMenuClose).accessibleDescription(), "Will play");
    EXPECT_NE(sets().status().text().toStdString().find(" 1 event plays a file of its own."), std::string::npos);

    // A file that is no sound is refused and said so.
    Q_EMIT picker.activated(picker.findText("Choose File…"));
    const auto text = rig.folder / "notes.txt";
    writeText(text, "not a sound");
    auto& second = openDialog();
    second.selectFile(QString::fromStdString(text.string()));
    accept(second);
    EXPECT_EQ(controller.assignments().selection(kMenuClose), TintraSelection::custom(file));
    EXPECT_FALSE(sets().notices().text().isEmpty());
}

TEST_F(SettingsWindowTest, ExportOffersATintrasetNameAndSummarisesWhatItWrote)
{
    window->showAndRaise();
    ASSERT_TRUE(controller.assignments().setSelection(TintraSelection::set("zither"), kMenuClose));
    ASSERT_TRUE(sets().exportButton().isEnabled());
    EXPECT_EQ(sets().exportButton().toolTip(), "Save everything you can hear right now as a new sound set.");
    sets().exportButton().click();
    auto& dialog = openDialog();
    EXPECT_EQ(dialog.windowTitle(), "Export Sound Set");
    EXPECT_EQ(dialog.labelText(QFileDialog::Accept), "Export");
    EXPECT_EQ(dialog.labelText(QFileDialog::FileName), "Export As:");
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    ASSERT_EQ(dialog.selectedFiles().size(), 1);
    EXPECT_TRUE(dialog.selectedFiles().front().endsWith("/classic Custom.tintraset")) << dialog.selectedFiles().front().toStdString();

    const auto destination = rig.folder / "Mine.tintraset";
    dialog.selectFile(QString::fromStdString(destination.string()));
    accept(dialog);
    settle();
    EXPECT_TRUE(fs::is_directory(destination));
    EXPECT_EQ(sets().notices().text().toStdString(), "Exported Mine: 3 events from 3 sounds")
        << "classic's two sounds and zither's Menu Close";
}

TEST_F(SettingsWindowTest, TheRowButtonsExcludeAndIncludeAndAFileThatWentIsSaidSo)
{
    auto& apps = window->afflictedApps();
    const auto file = rig.folder / "org.example.mail.desktop";
    writeText(file, "[Desktop Entry]\nName=Mail\n");
    rig.accessibility.addApplication(40, { { "AXRole", AXValue::text("AXApplication") } });
    rig.workspace.launch({ .processIdentifier = 40, .localizedName = "Mail", .bundleIdentifier = "org.example.mail",
        .bundleURL = file });
    controller.start();
    rig.run(std::chrono::seconds(2));
    auto* exclude = apps.rowButton("org.example.mail");
    ASSERT_NE(exclude, nullptr);
    EXPECT_EQ(exclude->text(), "Exclude");
    exclude->click();
    QApplication::sendPostedEvents();
    EXPECT_TRUE(controller.exclusions().isExcluded("org.example.mail"));
    ASSERT_NE(apps.rowButton("org.example.mail"), nullptr);
    EXPECT_EQ(apps.rowButton("org.example.mail")->text(), "Include");
    EXPECT_EQ(apps.summary().text().toStdString(), afflictedSummary(controller.afflictedApplications().get(), true));

    apps.rowButton("org.example.mail")->click();
    QApplication::sendPostedEvents();
    EXPECT_FALSE(controller.exclusions().isExcluded("org.example.mail"));

    fs::remove(file);
    apps.reveal("org.example.mail");
    EXPECT_EQ(apps.notice().text(), "Mail is no longer on disk where it was.");
}

TEST_F(SettingsWindowTest, EveryControlHasAnAccessibleName)
{
    std::vector<std::string> unnamed;
    for (auto* widget : window->findChildren<QWidget*>()) {
        const bool isControl = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget)
            || qobject_cast<QAbstractSlider*>(widget) || qobject_cast<QLineEdit*>(widget)
            || qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QProgressBar*>(widget);
        // Views' scroll bars, headers and pickers' pop-ups are Qt's own to name.
        if (!isControl || qobject_cast<QHeaderView*>(widget) || qobject_cast<QScrollBar*>(widget)
            || qobject_cast<QAbstractItemView*>(widget->parentWidget()) || widget->window() != window.get())
            continue;
        auto* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.push_back(widget->metaObject()->className() + std::string(" ") + widget->objectName().toStdString()
                + " " + widget->toolTip().toStdString());
    }
    EXPECT_TRUE(unnamed.empty()) << unnamed.size() << " unnamed, the first " << unnamed.front();
}

} // namespace
} // namespace tintra
