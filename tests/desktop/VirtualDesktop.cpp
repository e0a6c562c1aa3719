#include "desktop/VirtualDesktop.h"

#include "desktop/TestWindow.h"

#include <xcb/xcb.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace tintra {
namespace {

bool hasTool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// One line a child writes into the pipe it was given (Xvfb's display number,
// dbus-daemon's address), or nothing after `limit`.
std::optional<std::string> readLine(int descriptor, std::chrono::milliseconds limit)
{
    fcntl(descriptor, F_SETFL, O_NONBLOCK);
    std::string line;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        char c;
        const auto got = read(descriptor, &c, 1);
        if (got == 1) {
            if (c == '\n')
                return line;
            line += c;
        } else if (got == 0) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return line.empty() ? std::nullopt : std::optional(line);
}

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe()
    {
        int ends[2];
        if (pipe(ends) == 0) {
            read = ends[0];
            write = ends[1];
        }
    }
    ~Pipe()
    {
        closeWrite();
        if (read >= 0)
            close(read);
    }
    void closeWrite()
    {
        if (write >= 0)
            close(write);
        write = -1;
    }
};

} // namespace

VirtualDesktop::VirtualDesktop(Options options)
{
    for (std::string tool : { "Xvfb", "dbus-daemon", "dbus-send" })
        if (!hasTool(tool)) {
            skipReason = tool + " is not installed (scripts/install-deps installs it)";
            return;
        }
    if (options.windowManager && !hasTool("openbox")) {
        skipReason = "openbox is not installed (scripts/install-deps installs it)";
        return;
    }
    char pattern[] = "/tmp/tintra-desktop-XXXXXX";
    if (!mkdtemp(pattern)) {
        skipReason = "no temporary folder";
        return;
    }
    folder_ = pattern;
    for (const char* sub : { "run", "config", "data", "cache" })
        std::filesystem::create_directories(folder_ / sub);
    std::filesystem::permissions(folder_ / "run", std::filesystem::perms::owner_all);
    setenv("HOME", folder_.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder_ / "run").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder_ / "cache").c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("AT_SPI_BUS_ADDRESS");
    unsetenv("NO_AT_BRIDGE");

    if (!startX(options) || !startBus(sessionBus_, "--session", "DBUS_SESSION_BUS_ADDRESS")
        || !startAccessibilityBus(options.accessibility))
        return;
    if (options.systemBus && !startBus(systemBus_, "--config-file=/usr/share/dbus-1/session.conf", "DBUS_SYSTEM_BUS_ADDRESS"))
        return;
    if (options.windowManager && !startWindowManager())
        return;
    if (options.compositor && !startCompositor())
        return;
}

VirtualDesktop::~VirtualDesktop()
{
    compositor_.stop();
    windowManager_.stop();
    accessibilityBus_.stop();
    systemBus_.stop();
    sessionBus_.stop();
    x_.stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool VirtualDesktop::startX(const Options& options)
{
    Pipe displayPipe;
    const std::string screen = std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
    x_ = start({ "Xvfb", "-displayfd", std::to_string(displayPipe.write), "-screen", "0", screen, "-nolisten", "tcp",
        "-noreset", "+extension", "RANDR" });
    displayPipe.closeWrite();
    const auto number = readLine(displayPipe.read, std::chrono::milliseconds(10000));
    if (!number) {
        skipReason = "Xvfb did not start:\n" + log();
        return false;
    }
    display_ = ":" + *number;
    setenv("DISPLAY", display_.c_str(), 1);
    return true;
}

bool VirtualDesktop::startBus(ChildProcess& bus, const std::string& configuration, const char* variable)
{
    Pipe addressPipe;
    bus = start({ "dbus-daemon", configuration, "--nofork", "--nosyslog",
        "--print-address=" + std::to_string(addressPipe.write) });
    addressPipe.closeWrite();
    const auto address = readLine(addressPipe.read, std::chrono::milliseconds(5000));
    if (!address) {
        skipReason = std::string("the bus of ") + variable + " did not start:\n" + log();
        return false;
    }
    setenv(variable, address->c_str(), 1);
    return true;
}

bool VirtualDesktop::restartAccessibilityBus()
{
    accessibilityBus_.stop();
    return startAccessibilityBus(accessibilitySwitchedOn_);
}

bool VirtualDesktop::startAccessibilityBus(bool switchOn)
{
    accessibilitySwitchedOn_ = switchOn;
    const std::filesystem::path launcher = "/usr/libexec/at-spi-bus-launcher";
    if (!std::filesystem::exists(launcher)) {
        skipReason = "at-spi2-core is not installed (scripts/install-deps installs it)";
        return false;
    }
    accessibilityBus_ = start({ launcher.string(), "--launch-immediately" });
    const auto answers = [this] {
        return run("dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress") == 0;
    };
    if (!waitUntil(answers)) {
        skipReason = "the accessibility bus did not start:\n" + log();
        return false;
    }
    if (switchOn
        && run("dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set "
               "string:org.a11y.Status string:IsEnabled variant:boolean:true")
            != 0) {
        skipReason = "toolkit accessibility could not be switched on:\n" + log();
        return false;
    }
    return true;
}

bool VirtualDesktop::startWindowManager()
{
    windowManager_ = start({ "openbox", "--sm-disable" });
    if (!waitUntil([this] { return hasSelectionOwner("WM_S0"); })) {
        skipReason = "openbox did not start:\n" + log();
        return false;
    }
    // It owns the selection before it manages windows, and a window mapped in
    // between stays unframed for good: the session is ready once a fresh probe
    // window is framed.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        const TestWindow probe("probe", 0, 0, 10, 10, getpid());
        if (waitUntil([&] { return probe.isFramed(); }, std::chrono::milliseconds(300)))
            return true;
    }
    skipReason = "openbox did not manage windows:\n" + log();
    return false;
}

bool VirtualDesktop::startCompositor()
{
    if (!hasTool("xcompmgr")) {
        skipReason = "xcompmgr is not installed (scripts/install-deps installs it)";
        return false;
    }
    compositor_ = start({ "xcompmgr" });
    if (!waitUntil([this] { return hasSelectionOwner("_NET_WM_CM_S0"); })) {
        skipReason = "xcompmgr did not start:\n" + log();
        return false;
    }
    return true;
}

void VirtualDesktop::stopCompositor()
{
    compositor_.stop();
    waitUntil([this] { return !hasSelectionOwner("_NET_WM_CM_S0"); });
}

bool VirtualDesktop::hasSelectionOwner(const std::string& selection) const
{
    xcb_connection_t* connection = xcb_connect(display_.c_str(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    bool owned = false;
    const auto atomCookie = xcb_intern_atom(connection, 0, selection.size(), selection.c_str());
    if (const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom { xcb_intern_atom_reply(connection, atomCookie, nullptr), &free }) {
        const auto ownerCookie = xcb_get_selection_owner(connection, atom->atom);
        if (const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner {
                xcb_get_selection_owner_reply(connection, ownerCookie, nullptr), &free })
            owned = owner->owner != XCB_NONE;
    }
    xcb_disconnect(connection);
    return owned;
}

ChildProcess VirtualDesktop::start(const std::vector<std::string>& arguments, const ChildProcess::Environment& environment) const
{
    return ChildProcess(arguments, environment, folder_ / "session.log");
}

int VirtualDesktop::run(const std::string& command) const
{
    const std::string logged = "{ " + command + " ; } >>'" + (folder_ / "session.log").string() + "' 2>&1";
    const int status = std::system(logged.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string VirtualDesktop::capture(const std::string& command) const
{
    std::string output;
    const std::string logged = command + " 2>>'" + (folder_ / "session.log").string() + "'";
    if (FILE* pipe = popen(logged.c_str(), "r")) {
        char buffer[4096];
        while (const auto got = fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, got);
        pclose(pipe);
    }
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

bool VirtualDesktop::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string VirtualDesktop::log() const
{
    std::ifstream file(folder_ / "session.log");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace tintra
