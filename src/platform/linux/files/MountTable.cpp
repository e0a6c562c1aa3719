#include "platform/linux/files/MountTable.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace tintra {

namespace {

// File systems that hold no user's files, and FUSE mounts of the desktop's own services.
constexpr std::array pseudoFileSystems {
    "autofs", "binfmt_misc", "bpf", "cgroup", "cgroup2", "configfs", "debugfs", "devpts", "devtmpfs", "efivarfs",
    "fusectl", "hugetlbfs", "mqueue", "nsfs", "overlay", "proc", "pstore", "ramfs", "rpc_pipefs", "securityfs",
    "sysfs", "tracefs", "fuse.gvfsd-fuse", "fuse.portal", "fuse.xdg-document-portal",
};

std::string unescaped(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()
            && std::all_of(field.begin() + long(i) + 1, field.begin() + long(i) + 4, [](char c) { return c >= '0' && c <= '7'; })) {
            text += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool isBelow(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    if (folder.empty())
        return false;
    const auto relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != ".." && relative != ".";
}

bool readsOne(const std::filesystem::path& file)
{
    std::ifstream in(file);
    char first = 0;
    return in.get(first) && first == '1';
}

} // namespace

std::vector<MountEntry> parseMountInfo(std::string_view text)
{
    std::vector<MountEntry> entries;
    std::istringstream lines { std::string(text) };
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mount-point options [optional…] - type source super-options
        std::istringstream fields(line);
        std::vector<std::string> before;
        std::string field;
        while (fields >> field && field != "-")
            before.push_back(field);
        std::string type, source, superOptions;
        if (before.size() < 6 || !(fields >> type >> source))
            continue;
        fields >> superOptions;
        MountEntry entry;
        entry.device = before[2];
        entry.root = unescaped(before[3]);
        entry.mountPoint = unescaped(before[4]);
        entry.fileSystem = type;
        entry.source = unescaped(source);
        std::istringstream options(before[5]);
        std::string option;
        while (std::getline(options, option, ','))
            entry.readOnly = entry.readOnly || option == "ro";
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<MountEntry> readMountTable()
{
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    return parseMountInfo(text.str());
}

bool isUserVolume(const MountEntry& entry, const std::filesystem::path& home)
{
    if (entry.root != "/")
        return false;
    if (std::find(pseudoFileSystems.begin(), pseudoFileSystems.end(), entry.fileSystem) != pseudoFileSystems.end())
        return false;
    if (isBelow(entry.mountPoint, "/snap") || entry.fileSystem == "squashfs")
        return false;
    for (const char* folder : { "/media", "/run/media", "/mnt" }) {
        if (isBelow(entry.mountPoint, folder))
            return true;
    }
    return isBelow(entry.mountPoint, home) || (entry.source.starts_with("/dev/") && isRemovableDevice(entry.device));
}

bool isRemovableDevice(const std::string& device)
{
    std::error_code error;
    const auto sysfs = std::filesystem::canonical("/sys/dev/block/" + device, error);
    if (error)
        return false;
    return readsOne(sysfs / "removable") || readsOne(sysfs.parent_path() / "removable");
}

} // namespace tintra
