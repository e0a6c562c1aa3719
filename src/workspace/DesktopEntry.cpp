#include "workspace/DesktopEntry.h"

#include <fstream>
#include <iterator>

namespace tintra {

namespace {

constexpr std::string_view kExtension = ".desktop";
constexpr std::string_view kGroup = "[Desktop Entry]";
// Far beyond any real desktop file; a chosen file that is larger is not one.
constexpr std::uintmax_t kMaxBytes = 1u << 20;

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string unescaped(std::string_view value)
{
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': result += ' '; break;
        case 'n': result += '\n'; break;
        case 't': result += '\t'; break;
        case 'r': result += '\r'; break;
        case '\\': result += '\\'; break;
        default: result += '\\'; result += value[i]; break;
        }
    }
    return result;
}

} // namespace

std::optional<std::string> desktopEntryIdentifier(const std::filesystem::path& file)
{
    const auto fileName = file.filename().string();
    if (fileName.size() <= kExtension.size() || !fileName.ends_with(kExtension))
        return std::nullopt;
    std::string identifier;
    bool belowApplications = false;
    for (const auto& component : file.parent_path()) {
        if (component == "applications") {
            identifier.clear();
            belowApplications = true;
        } else if (belowApplications) {
            identifier += component.string() + "-";
        }
    }
    identifier += fileName.substr(0, fileName.size() - kExtension.size());
    return identifier;
}

std::optional<DesktopEntry> parseDesktopEntry(std::string identifier, std::string_view contents)
{
    std::optional<DesktopEntry> entry;
    bool inGroup = false;
    std::size_t start = 0;
    while (start <= contents.size()) {
        auto end = contents.find('\n', start);
        if (end == std::string_view::npos)
            end = contents.size();
        const auto line = trimmed(contents.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            // Only the first such group counts; a repeated one is not valid.
            inGroup = line == kGroup && !entry;
            if (inGroup)
                entry = DesktopEntry { identifier, std::nullopt };
            continue;
        }
        const auto equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos)
            continue;
        if (trimmed(line.substr(0, equals)) == "Name" && !entry->name)
            entry->name = unescaped(trimmed(line.substr(equals + 1)));
    }
    return entry;
}

std::optional<DesktopEntry> readDesktopEntry(const std::filesystem::path& file)
{
    auto identifier = desktopEntryIdentifier(file);
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (!identifier || error || size > kMaxBytes)
        return std::nullopt;
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        return std::nullopt;
    const std::string contents { std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>() };
    if (stream.bad())
        return std::nullopt;
    return parseDesktopEntry(std::move(*identifier), contents);
}

} // namespace tintra
