// The settings window over a controller on the fakes, shown on the session's
// display until the process is stopped; prints "shown" once it is up.
#include "fakes/ControllerRig.h"
#include "ui/SettingsWindow.h"

#include <QApplication>
#include <QTimer>

#include <iostream>

using namespace tintra;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    testing::ControllerRig rig;
    auto& controller = rig.make();
    rig.installSet("classic", { TintraSoundID("mnuo"), TintraSoundID::keyPress });
    controller.reloadLibrary();
    TintraSettingsWindow window(controller, *rig.silence, rig.defaults, rig.executor,
        { .about = [] {}, .reportBug = [] {}, .clock = &rig.clock });
    // The fakes' executor runs only when told to.
    QTimer steps;
    QObject::connect(&steps, &QTimer::timeout, [&rig] { rig.run(); });
    steps.start(20);
    window.showAndRaise();
    std::cout << "shown" << std::endl;
    return application.exec();
}
