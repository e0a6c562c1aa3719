#include "platform/linux/files/DesktopEntries.h"

#include <gio/gdesktopappinfo.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tintra {

namespace {

// The freedesktop main categories that have an App Store counterpart, and the
// kinds of game.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kMainCategories { {
    { "Development", "public.app-category.developer-tools" },
    { "Education", "public.app-category.education" },
    { "Graphics", "public.app-category.graphics-design" },
    { "Network", "public.app-category.social-networking" },
    { "Office", "public.app-category.productivity" },
    { "Science", "public.app-category.education" },
    { "AudioVideo", "public.app-category.entertainment" },
    { "Utility", "public.app-category.utilities" },
    { "System", "public.app-category.utilities" },
} };
constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kGameCategories { {
    { "ActionGame", "public.app-category.action-games" },
    { "AdventureGame", "public.app-category.adventure-games" },
    { "ArcadeGame", "public.app-category.arcade-games" },
    { "BoardGame", "public.app-category.board-games" },
    { "BlocksGame", "public.app-category.puzzle-games" },
    { "CardGame", "public.app-category.card-games" },
    { "KidsGame", "public.app-category.kids-games" },
    { "LogicGame", "public.app-category.puzzle-games" },
    { "RolePlaying", "public.app-category.role-playing-games" },
    { "Shooter", "public.app-category.action-games" },
    { "Simulation", "public.app-category.simulation-games" },
    { "SportsGame", "public.app-category.sports-games" },
} };

std::vector<std::string_view> split(std::string_view list)
{
    std::vector<std::string_view> items;
    while (!list.empty()) {
        const auto semicolon = list.find(';');
        if (const auto item = list.substr(0, semicolon); !item.empty())
            items.push_back(item);
        if (semicolon == std::string_view::npos)
            break;
        list.remove_prefix(semicolon + 1);
    }
    return items;
}

template <std::size_t N>
std::optional<std::string_view> lookUp(const std::array<std::pair<std::string_view, std::string_view>, N>& table,
    const std::vector<std::string_view>& categories)
{
    for (auto category : categories) {
        for (const auto& [name, type] : table) {
            if (category == name)
                return type;
        }
    }
    return std::nullopt;
}

// The NUL-separated environment of a process, when this user may read it.
std::optional<std::string> environmentValue(pid_t process, std::string_view name)
{
    std::ifstream file("/proc/" + std::to_string(process) + "/environ", std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::string environment { std::istreambuf_iterator<char>(file), {} };
    std::string_view rest = environment;
    while (!rest.empty()) {
        const auto end = rest.find('\0');
        const auto entry = rest.substr(0, end);
        if (entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=')
            return std::string(entry.substr(name.size() + 1));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> launchedEntry(pid_t process)
{
    const auto file = environmentValue(process, "GIO_LAUNCHED_DESKTOP_FILE");
    const auto launched = environmentValue(process, "GIO_LAUNCHED_DESKTOP_FILE_PID");
    if (!file || !launched || *launched != std::to_string(process))
        return std::nullopt;
    return std::filesystem::path(*file);
}

// The installed entry with this ID ("org.gnome.TextEditor", with or without ".desktop").
std::optional<std::filesystem::path> entryNamed(std::string id)
{
    if (id.empty())
        return std::nullopt;
    if (!id.ends_with(".desktop"))
        id += ".desktop";
    GDesktopAppInfo* info = g_desktop_app_info_new(id.c_str());
    if (!info)
        return std::nullopt;
    std::optional<std::filesystem::path> found;
    if (const char* file = g_desktop_app_info_get_filename(info))
        found = std::filesystem::path(file);
    g_object_unref(info);
    return found;
}

// A sandboxed application's own ID: Flatpak writes it into the sandbox, and
// snapd names each application's control group "snap.NAME.APP".
std::optional<std::filesystem::path> sandboxedEntry(pid_t process)
{
    const std::string proc = "/proc/" + std::to_string(process);
    GKeyFile* flatpak = g_key_file_new();
    std::optional<std::filesystem::path> found;
    if (g_key_file_load_from_file(flatpak, (proc + "/root/.flatpak-info").c_str(), G_KEY_FILE_NONE, nullptr)) {
        if (gchar* name = g_key_file_get_string(flatpak, "Application", "name", nullptr)) {
            found = entryNamed(name);
            g_free(name);
        }
    }
    g_key_file_free(flatpak);
    if (found)
        return found;
    std::ifstream groups(proc + "/cgroup");
    for (std::string line; std::getline(groups, line);) {
        const auto snap = line.find("/snap.");
        if (snap == std::string::npos)
            continue;
        const auto name = snap + 6;
        const auto dot = line.find('.', name);
        const auto end = dot == std::string::npos ? std::string::npos : line.find('.', dot + 1);
        if (end == std::string::npos)
            continue;
        auto app = line.substr(dot + 1, end - dot - 1);
        // Newer snapd ends the application's name with "-" and the scope's UUID.
        constexpr std::size_t uuid = 36;
        if (app.size() > uuid + 1 && app[app.size() - uuid - 1] == '-')
            app.resize(app.size() - uuid - 1);
        return entryNamed(line.substr(name, dot - name) + "_" + app);
    }
    return std::nullopt;
}

// The first installed entry that `matches`.
std::optional<std::filesystem::path> installedEntry(const std::function<bool(GDesktopAppInfo*)>& matches)
{
    std::optional<std::filesystem::path> found;
    GList* all = g_app_info_get_all();
    for (GList* item = all; item && !found; item = item->next) {
        auto* info = G_DESKTOP_APP_INFO(item->data);
        const char* file = g_desktop_app_info_get_filename(info);
        if (file && matches(info))
            found = std::filesystem::path(file);
    }
    g_list_free_full(all, g_object_unref);
    return found;
}

std::optional<std::filesystem::path> entryRunning(const std::filesystem::path& executable)
{
    return installedEntry([&](GDesktopAppInfo* info) {
        const char* command = g_app_info_get_executable(G_APP_INFO(info));
        if (!command)
            return false;
        std::unique_ptr<gchar, decltype(&g_free)> resolved(g_find_program_in_path(command), &g_free);
        std::error_code error;
        return resolved && std::filesystem::equivalent(resolved.get(), executable, error);
    });
}

} // namespace

std::optional<std::filesystem::path> desktopEntryOfProcess(pid_t process, const WindowHints& hints)
{
    if (process < 1)
        return std::nullopt;
    for (const auto& id : hints.applicationIDs) {
        if (auto named = entryNamed(id))
            return named;
    }
    if (auto sandboxed = sandboxedEntry(process))
        return sandboxed;
    if (auto launched = launchedEntry(process))
        return launched;
    if (!hints.windowClasses.empty()) {
        if (auto classed = installedEntry([&](GDesktopAppInfo* info) {
                const char* wmClass = g_desktop_app_info_get_startup_wm_class(info);
                return wmClass && std::ranges::find(hints.windowClasses, std::string_view(wmClass)) != hints.windowClasses.end();
            }))
            return classed;
    }
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/" + std::to_string(process) + "/exe", error);
    if (error)
        return std::nullopt;
    return entryRunning(executable);
}

std::optional<PropertyList::Dictionary> applicationInformation(const std::filesystem::path& entry)
{
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(entry.c_str());
    if (!info)
        return std::nullopt;
    PropertyList::Dictionary information;
    if (const char* name = g_app_info_get_name(G_APP_INFO(info)))
        information["CFBundleName"] = name;
    auto id = entry.filename().string();
    if (id.ends_with(".desktop"))
        id.resize(id.size() - std::string_view(".desktop").size());
    information["CFBundleIdentifier"] = id;
    if (const char* categories = g_desktop_app_info_get_categories(info))
        information.merge(categoryTypes(categories));
    g_object_unref(info);
    return information;
}

PropertyList::Dictionary categoryTypes(std::string_view list)
{
    PropertyList::Dictionary types;
    const auto categories = split(list);
    if (std::ranges::find(categories, std::string_view("Game")) != categories.end()) {
        types["LSApplicationCategoryType"] = "public.app-category.games";
        if (auto kind = lookUp(kGameCategories, categories))
            types["LSApplicationSecondaryCategoryType"] = std::string(*kind);
    } else if (auto type = lookUp(kMainCategories, categories)) {
        types["LSApplicationCategoryType"] = std::string(*type);
    }
    return types;
}

} // namespace tintra
