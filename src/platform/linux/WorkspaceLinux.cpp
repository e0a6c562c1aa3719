#include "platform/linux/WorkspaceLinux.h"

#include "platform/linux/GLibHandles.h"
#include "platform/linux/atspi/AccessibilityAtspi.h"
#include "platform/linux/dbus/LoginSession.h"
#include "platform/linux/files/AppStreamMetainfo.h"
#include "platform/linux/files/DesktopEntries.h"
#include "platform/linux/files/MountWatch.h"
#include "platform/linux/x11/WindowFacts.h"
#include "platform/linux/x11/XcbConnection.h"
#include "support/MainThread.h"
#include "workspace/DesktopEntry.h"

#include <gio/gdesktopappinfo.h>

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <fstream>

namespace tintra {

namespace {

using AppInfo = GObjectHandle<GDesktopAppInfo>;

std::filesystem::path procFile(pid_t process, const char* name)
{
    return std::filesystem::path("/proc") / std::to_string(process) / name;
}

std::optional<std::string> processName(pid_t process)
{
    std::ifstream in(procFile(process, "comm"));
    std::string name;
    if (!std::getline(in, name) || name.empty())
        return std::nullopt;
    return name;
}

// A file an icon name stands for in the hicolor theme or the pixmaps, the largest first.
std::optional<std::filesystem::path> themedIconFile(const std::string& name)
{
    std::vector<std::filesystem::path> roots;
    if (const char* home = g_get_user_data_dir())
        roots.emplace_back(home);
    for (const char* const* dir = g_get_system_data_dirs(); *dir; ++dir)
        roots.emplace_back(*dir);
    for (const auto& root : roots) {
        for (const char* size : { "scalable", "512x512", "256x256", "128x128", "64x64", "48x48", "32x32", "16x16" }) {
            for (const char* extension : { ".svg", ".png" }) {
                const auto file = root / "icons/hicolor" / size / "apps" / (name + extension);
                if (std::filesystem::exists(file))
                    return file;
            }
        }
        for (const char* extension : { ".svg", ".png", ".xpm" }) {
            const auto file = root / "pixmaps" / (name + extension);
            if (std::filesystem::exists(file))
                return file;
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> iconOf(GDesktopAppInfo* info)
{
    GIcon* icon = g_app_info_get_icon(G_APP_INFO(info));
    if (G_IS_FILE_ICON(icon)) {
        if (char* path = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)))) {
            std::filesystem::path file(path);
            g_free(path);
            return file;
        }
    } else if (G_IS_THEMED_ICON(icon)) {
        for (const char* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon)); name && *name; ++name) {
            if (auto file = themedIconFile(*name))
                return file;
        }
    }
    return std::nullopt;
}

// What its windows make an application: regular with a normal one, an accessory with others
// only, else one that shows nothing of its own.
ActivationPolicy policyByWindows(bool hasWindow, bool hasNormalWindow)
{
    if (hasNormalWindow)
        return ActivationPolicy::regular;
    return hasWindow ? ActivationPolicy::accessory : ActivationPolicy::prohibited;
}

// How much of itself an application shows, regular the most.
int shown(ActivationPolicy policy) { return policy == ActivationPolicy::regular ? 2 : policy == ActivationPolicy::accessory ? 1 : 0; }

RunningApplication describe(pid_t process, ActivationPolicy byWindows, const WindowHints& hints,
    const std::function<std::optional<std::string>()>& accessibleName)
{
    RunningApplication application;
    application.processIdentifier = process;
    std::error_code error;
    if (auto executable = std::filesystem::read_symlink(procFile(process, "exe"), error); !error)
        application.executableURL = std::move(executable);
    bool shownEntry = false;
    if (const auto entry = desktopEntryOfProcess(process, hints)) {
        application.bundleURL = *entry;
        application.bundleIdentifier = desktopEntryIdentifier(*entry);
        application.version = metainfoVersion(*application.bundleIdentifier);
        if (const AppInfo info { g_desktop_app_info_new_from_filename(entry->c_str()) }) {
            // GLib picks the Name of the user's languages (LANGUAGE, LC_MESSAGES …).
            if (const char* name = g_app_info_get_name(G_APP_INFO(info.get())))
                application.localizedName = name;
            shownEntry = !g_desktop_app_info_get_nodisplay(info.get());
            application.iconURL = iconOf(info.get());
        }
    }
    if (!application.localizedName)
        application.localizedName = accessibleName();
    if (!application.localizedName)
        application.localizedName = processName(process);
    application.activationPolicy = shownEntry ? ActivationPolicy::regular : byWindows;
    return application;
}

std::string volumeName(const MountEntry& entry)
{
    // udev's by-label links name the file system's label, as a file manager shows it.
    std::error_code error;
    for (const auto& link : std::filesystem::directory_iterator("/dev/disk/by-label", error)) {
        std::error_code resolving;
        if (std::filesystem::equivalent(link.path(), entry.source, resolving))
            return link.path().filename().string();
    }
    return entry.mountPoint.filename().string();
}

} // namespace

WorkspaceLinux::WorkspaceLinux(AccessibilityAtspi* accessibility)
    : host_(getpid())
    , accessibility_(accessibility)
    , connection_(XcbConnection::openOrReport(
          accessibility ? "applications are known only from the accessibility bus" : "no running application is known"))
    , mounts_(std::make_unique<MountWatch>())
    , login_(std::make_unique<LoginSession>())
{
    login_->setOnPowerOff([this] { tell(WorkspaceNotification::willPowerOff, {}); });
    login_->setOnActiveChanged([this](bool active) {
        tell(active ? WorkspaceNotification::sessionDidBecomeActive : WorkspaceNotification::sessionDidResignActive, {});
    });
    if (connection_) {
        windows_ = std::make_unique<WindowFacts>(*connection_);
        clientList_ = windows_->onClientListChanged([this] { refresh(); });
    }
    if (accessibility_)
        accessibleApplications_ = accessibility_->onApplicationsChanged([this] { refresh(); });
    refresh();
    mountChanges_ = mounts_->onChanged([this](const auto& before, const auto& after) { mountsChanged(before, after); });
}

WorkspaceLinux::~WorkspaceLinux()
{
    if (settling_)
        g_source_remove(settling_);
}

void WorkspaceLinux::settleLater()
{
    if (settling_)
        return;
    const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(windowlessSettling).count() + 10;
    settling_ = g_timeout_add(guint(delay), [](gpointer self) {
        auto* workspace = static_cast<WorkspaceLinux*>(self);
        workspace->settling_ = 0;
        workspace->refresh();
        return G_SOURCE_REMOVE;
    }, this);
}

std::optional<RunningApplication> WorkspaceLinux::runningApplication(std::int32_t processIdentifier) const
{
    TINTRA_ASSERT_MAIN_THREAD();
    const auto found = applications_.find(processIdentifier);
    if (found == applications_.end())
        return std::nullopt;
    return found->second;
}

std::optional<RunningApplication> WorkspaceLinux::frontmostApplication() const
{
    TINTRA_ASSERT_MAIN_THREAD();
    if (!windows_)
        return std::nullopt;
    const auto active = windows_->activeWindow();
    const auto window = active ? windows_->window(*active) : std::nullopt;
    if (!window || !window->pid)
        return std::nullopt;
    return runningApplication(*window->pid);
}

std::vector<RunningApplication> WorkspaceLinux::runningApplications() const
{
    TINTRA_ASSERT_MAIN_THREAD();
    std::vector<RunningApplication> all;
    for (const auto& [process, application] : applications_)
        all.push_back(application);
    return all;
}

std::optional<std::filesystem::path> WorkspaceLinux::urlForApplication(const std::string& bundleIdentifier) const
{
    // GIO finds an ID by the desktop-entry rules, "kde-konsole" in kde/ included.
    const AppInfo info { g_desktop_app_info_new((bundleIdentifier + ".desktop").c_str()) };
    if (!info)
        return std::nullopt;
    const char* file = g_desktop_app_info_get_filename(info.get());
    return file ? std::optional<std::filesystem::path>(file) : std::nullopt;
}

std::optional<std::filesystem::path> WorkspaceLinux::iconForFile(const std::filesystem::path& file) const
{
    const AppInfo info { g_desktop_app_info_new_from_filename(file.c_str()) };
    return info ? iconOf(info.get()) : std::nullopt;
}

Subscription WorkspaceLinux::observeRunningApplications(std::function<void()> observer)
{
    return applicationsChanged_.subscribe(std::move(observer));
}

Subscription WorkspaceLinux::observe(WorkspaceNotification notification, NotificationObserver observer)
{
    return notifications_[notification].subscribe(std::move(observer));
}

void WorkspaceLinux::refresh()
{
    struct Seen {
        bool hasWindow = false;
        bool hasNormalWindow = false;
        WindowHints hints;
    };
    std::map<pid_t, Seen> seen;
    if (windows_) {
        for (const auto& window : windows_->windows()) {
            if (!window.pid || *window.pid <= 0)
                continue;
            auto& process = seen[*window.pid];
            process.hasWindow = true;
            process.hasNormalWindow = process.hasNormalWindow || window.type == WindowType::normal;
            if (!window.applicationID.empty())
                process.hints.applicationIDs.push_back(window.applicationID);
            if (!window.windowClass.empty())
                process.hints.windowClasses.push_back(window.windowClass);
        }
    }
    if (accessibility_) {
        // A program is on the bus a moment before it maps its window: told without one only once
        // it has stayed so, or its launch would be taken for that of one that shows nothing.
        const auto now = std::chrono::steady_clock::now();
        std::map<pid_t, std::chrono::steady_clock::time_point> windowless;
        for (const auto process : accessibility_->applicationProcesses()) {
            if (seen.contains(process) || applications_.contains(process)) {
                seen[process];
                continue;
            }
            const auto known = windowlessSince_.find(process);
            const auto since = known == windowlessSince_.end() ? now : known->second;
            windowless[process] = since;
            if (now - since >= windowlessSettling)
                seen[process];
            else
                settleLater();
        }
        windowlessSince_ = std::move(windowless);
    }
    bool changed = std::erase_if(applications_, [&](const auto& entry) { return !seen.contains(entry.first); }) > 0;
    for (const auto& [process, facts] : seen) {
        const auto byWindows = policyByWindows(facts.hasWindow, facts.hasNormalWindow);
        auto found = applications_.find(process);
        if (found == applications_.end()) {
            const auto accessibleName = [&, process = process]() -> std::optional<std::string> {
                return accessibility_ ? accessibility_->applicationName(process) : std::nullopt;
            };
            applications_.emplace(process, describe(process, byWindows, facts.hints, accessibleName));
            changed = true;
        } else if (shown(byWindows) > shown(found->second.activationPolicy)) {
            found->second.activationPolicy = byWindows;
        }
    }
    if (changed)
        applicationsChanged_.tell();
}

void WorkspaceLinux::mountsChanged(const std::vector<MountEntry>& before, const std::vector<MountEntry>& after)
{
    const auto home = std::filesystem::path(g_get_home_dir());
    const auto volumes = [&](const std::vector<MountEntry>& table) {
        std::map<std::filesystem::path, const MountEntry*> found;
        for (const auto& entry : table) {
            if (isUserVolume(entry, home))
                found[entry.mountPoint] = &entry;
        }
        return found;
    };
    const auto was = volumes(before);
    const auto is = volumes(after);
    for (const auto& [mountPoint, entry] : was) {
        if (!is.contains(mountPoint))
            tell(WorkspaceNotification::didUnmount, VolumeNotification { mountPoint, volumeName(*entry) });
    }
    for (const auto& [mountPoint, entry] : is) {
        if (!was.contains(mountPoint))
            tell(WorkspaceNotification::didMount, VolumeNotification { mountPoint, volumeName(*entry) });
    }
}

void WorkspaceLinux::tell(WorkspaceNotification notification, const VolumeNotification& volume)
{
    if (const auto found = notifications_.find(notification); found != notifications_.end())
        found->second.tell(volume);
}

} // namespace tintra
