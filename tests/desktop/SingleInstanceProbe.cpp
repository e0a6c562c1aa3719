// A program with nothing but the single instance, for the desktop tests: it
// prints what it was told, one line each, and quits on the "quit" action.
//
//   tintra_single_instance_probe [FILE...]
#include "platform/linux/MainExecutorGlib.h"
#include "platform/linux/dbus/SingleInstanceDBus.h"

#include <glib.h>

#include <iostream>

int main(int argc, char** argv)
{
    using namespace tintra;
    MainExecutorGlib executor;
    GMainLoop* loop = g_main_loop_new(nullptr, false);
    SingleInstanceDBus instance("org.tintradorvel.TintraDorvel",
        { .openSettings = [] { std::cout << "settings" << std::endl; },
            .openFiles = [](std::vector<std::filesystem::path> files) {
                std::cout << "files";
                for (const auto& file : files)
                    std::cout << ' ' << file.string();
                std::cout << std::endl;
            },
            .actions = { { "quit", [loop] { g_main_loop_quit(loop); } } } });
    const std::vector<std::filesystem::path> files(argv + 1, argv + argc);
    int status = 0;
    switch (instance.claim(files)) {
    case SingleInstanceDBus::Claim::first:
        std::cout << "first" << std::endl;
        g_main_loop_run(loop);
        break;
    case SingleInstanceDBus::Claim::handedOver:
        std::cout << "handed over" << std::endl;
        break;
    case SingleInstanceDBus::Claim::noSessionBus:
        std::cout << "alone" << std::endl;
        break;
    case SingleInstanceDBus::Claim::handOverFailed:
        status = 1;
        break;
    }
    g_main_loop_unref(loop);
    return status;
}
