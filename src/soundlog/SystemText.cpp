#include "soundlog/SystemText.h"

#include <sys/utsname.h>

#include <fstream>
#include <optional>
#include <sstream>

namespace tintra {
namespace {

// One os-release value as the shell reads it: single quotes keep every
// character, elsewhere a backslash escapes the next one.
std::string unquoted(std::string_view value)
{
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    const bool literal = quoted && value.front() == '\'';
    if (quoted)
        value = value.substr(1, value.size() - 2);
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (!literal && value[i] == '\\' && i + 1 < value.size())
            ++i;
        result += value[i];
    }
    return result;
}

std::optional<std::string> prettyName(std::string_view osRelease)
{
    constexpr std::string_view key = "PRETTY_NAME=";
    while (!osRelease.empty()) {
        const auto end = osRelease.find('\n');
        auto line = osRelease.substr(0, end);
        osRelease = end == std::string_view::npos ? std::string_view {} : osRelease.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (line.starts_with(key)) {
            auto name = unquoted(line.substr(key.size()));
            if (!name.empty())
                return name;
        }
    }
    return std::nullopt;
}

std::string readFile(const char* path)
{
    std::ifstream file(path);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

} // namespace

std::string systemText(std::string_view osRelease, std::string_view kernelRelease)
{
    auto text = prettyName(osRelease).value_or("Linux");
    if (!kernelRelease.empty())
        text += " (" + std::string(kernelRelease) + ")";
    return text;
}

std::string currentSystemText()
{
    auto osRelease = readFile("/etc/os-release");
    if (osRelease.empty())
        osRelease = readFile("/usr/lib/os-release");
    utsname names {};
    const std::string kernelRelease = uname(&names) == 0 ? names.release : "";
    return systemText(osRelease, kernelRelease);
}

} // namespace tintra
