#include "platform/linux/files/LoginItemServiceAutostart.h"

#include "platform/linux/GLibHandles.h"
#include "platform/linux/files/LibraryFoldersLinux.h"
#include "support/MainThread.h"

#include <string_view>

#include <unistd.h>

namespace tintra {

namespace fs = std::filesystem;

namespace {

constexpr const char* group = G_KEY_FILE_DESKTOP_GROUP;

std::string takeString(gchar* text)
{
    const GCharHandle owned(text);
    return owned ? std::string(owned.get()) : std::string();
}

// One argument of an Exec line: quoted when it holds a reserved character, with
// the characters that stay special inside quotes escaped, and every percent
// sign doubled so that none reads as a field code.
std::string execArgument(std::string_view argument)
{
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string quoted;
    const bool needsQuotes = argument.find_first_of(reserved) != std::string_view::npos;
    for (const char character : argument) {
        if (character == '%')
            quoted += "%%";
        else if (needsQuotes && std::string_view("\"`$\\").find(character) != std::string_view::npos)
            quoted += std::string("\\") + character;
        else
            quoted += character;
    }
    return needsQuotes ? "\"" + quoted + "\"" : quoted;
}

// The program that an Exec line starts, read back as the session reads it.
std::optional<fs::path> execProgram(const std::string& exec)
{
    std::string unescaped;
    for (std::size_t index = 0; index < exec.size(); ++index) {
        unescaped += exec[index];
        if (exec[index] == '%' && index + 1 < exec.size() && exec[index + 1] == '%')
            ++index;
    }
    gchar** arguments = nullptr;
    if (!g_shell_parse_argv(unescaped.c_str(), nullptr, &arguments, nullptr))
        return std::nullopt;
    fs::path program = arguments[0];
    g_strfreev(arguments);
    return program;
}

bool isExecutable(const fs::path& program)
{
    if (!program.is_absolute()) {
        return GCharHandle(g_find_program_in_path(program.c_str())) != nullptr;
    }
    return ::access(program.c_str(), X_OK) == 0 && !fs::is_directory(program);
}

} // namespace

LoginItemServiceAutostart::LoginItemServiceAutostart(fs::path program, fs::path autostartFolder)
    : program_(std::move(program))
    , entry_(std::move(autostartFolder) / (TINTRA_MAKER_PREFIX ".TintraDorvel.desktop"))
{
}

fs::path LoginItemServiceAutostart::standardFolder()
{
    return standardAutostartDirectory();
}

TintraLoginItemStatus LoginItemServiceAutostart::status()
{
    TINTRA_ASSERT_MAIN_THREAD();
    const GKeyFileHandle file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), entry_.c_str(), G_KEY_FILE_NONE, nullptr))
        return TintraLoginItemStatus::notRegistered;
    const bool hidden = g_key_file_get_boolean(file.get(), group, G_KEY_FILE_DESKTOP_KEY_HIDDEN, nullptr);
    const bool switchedOff = g_key_file_has_key(file.get(), group, "X-GNOME-Autostart-enabled", nullptr)
        && !g_key_file_get_boolean(file.get(), group, "X-GNOME-Autostart-enabled", nullptr);
    if (hidden || switchedOff)
        return TintraLoginItemStatus::notRegistered;
    const auto program = execProgram(takeString(g_key_file_get_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_EXEC, nullptr)));
    return program && isExecutable(*program) ? TintraLoginItemStatus::enabled : TintraLoginItemStatus::notFound;
}

tl::expected<void, TintraLoginItemError> LoginItemServiceAutostart::registerItem()
{
    TINTRA_ASSERT_MAIN_THREAD();
    std::error_code error;
    fs::create_directories(entry_.parent_path(), error);
    if (error)
        return tl::unexpected(TintraLoginItemError { entry_.parent_path().string() + ": " + error.message() });
    const GKeyFileHandle file(g_key_file_new());
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_TYPE, G_KEY_FILE_DESKTOP_TYPE_APPLICATION);
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_NAME, "Tintra Dorvel");
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_COMMENT, "Sounds the login and the desktop from the start");
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_EXEC,
        (execArgument(program_.string()) + " --opened-at-login").c_str());
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_ICON, TINTRA_MAKER_PREFIX ".TintraDorvel");
    g_key_file_set_boolean(file.get(), group, G_KEY_FILE_DESKTOP_KEY_TERMINAL, false);
    g_key_file_set_boolean(file.get(), group, "X-GNOME-Autostart-enabled", true);
    gsize length = 0;
    const std::string text = takeString(g_key_file_to_data(file.get(), &length, nullptr));
    GErrorOut writeError;
    // Written beside the entry and renamed over it, so the session never reads half an entry.
    if (!g_file_set_contents(entry_.c_str(), text.c_str(), static_cast<gssize>(text.size()), writeError.out()))
        return tl::unexpected(TintraLoginItemError { writeError.message() });
    return {};
}

tl::expected<void, TintraLoginItemError> LoginItemServiceAutostart::unregisterItem()
{
    TINTRA_ASSERT_MAIN_THREAD();
    std::error_code error;
    fs::remove(entry_, error);
    if (error)
        return tl::unexpected(TintraLoginItemError { entry_.string() + ": " + error.message() });
    return {};
}

} // namespace tintra
