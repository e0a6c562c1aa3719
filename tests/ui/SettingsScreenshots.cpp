// Draws each tab of the settings window, over a controller on the fakes with a
// set installed and a few sounds in the log, into DIR/settings-TAB.png.
#include "catalogue/Catalogue.h"
#include "fakes/ControllerRig.h"
#include "ui/SettingsWindow.h"

#include <QApplication>
#include <QPixmap>

#include <cstdlib>
#include <iostream>
#include <string>
#include <tuple>

using namespace tintra;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: tintra_settings_screenshots DIR" << std::endl;
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    testing::ControllerRig rig;
    auto& controller = rig.make();
    std::vector<TintraSoundID> sounds;
    for (const auto& entry : listedCatalogue()) {
        if (entry.category != TintraSoundCategory::control)
            sounds.push_back(entry.soundID);
    }
    rig.installSet("Platinum", sounds);
    rig.installSet("Hi-Tech", { TintraSoundID("mnuo"), TintraSoundID("mnuc") });
    controller.reloadLibrary();
    controller.assignments().setBaselineIdentifier("Platinum");
    rig.launch(40, "Mail", "org.example.mail");
    rig.launch(41, "Text Editor", "org.example.editor");
    controller.start();
    rig.run(std::chrono::seconds(2));
    for (const auto& [code, name, app] : { std::tuple { "mnuo", "AXMenuOpened", 40 },
             { "mnuc", "AXMenuClosed", 40 }, { "mnui", "AXSelectedChildrenChanged", 41 } }) {
        TintraEvent event;
        event.notificationName = name;
        event.soundID = *TintraSoundID::fromText(code);
        event.processIdentifier = app;
        event.date = rig.clock.now();
        controller.log().record(event, event.date);
    }

    TintraSettingsWindow window(controller, *rig.silence, rig.defaults, rig.executor,
        { .about = [] {}, .reportBug = [] {}, .clock = &rig.clock });
    window.showAndRaise();
    rig.run();
    const char* names[] = { "general", "sound-sets", "afflicted-apps", "log" };
    for (int tab = 0; tab < 4; ++tab) {
        window.showTab(TintraSettingsWindow::Tab(tab));
        QApplication::processEvents();
        const auto file = std::string(argv[1]) + "/settings-" + names[tab] + ".png";
        // A palette of 256 colours keeps the files small.
        const auto image = window.grab().toImage().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        if (!image.save(QString::fromStdString(file))) {
            std::cerr << "tintra_settings_screenshots: could not write " << file << std::endl;
            return 1;
        }
        std::cout << file << std::endl;
    }
    return 0;
}
