#include "engine/DiskDescriptionBuilder.h"

#include "support/NumberFormat.h"
#include "support/Text.h"

#include <fmt/format.h>

#include <array>
#include <vector>

namespace tintra {
namespace {

using Key = DADiskDescriptionKey;
using Kind = TintraDiskDescriptionBuilder::Kind;

constexpr std::array<TintraDiskDescriptionBuilder::Row, 38> kFieldTable { {
    { "Volume name", Key::volumeName, Kind::text },
    { "Mounted at", Key::volumePath, Kind::path },
    { "File system", Key::volumeKind, Kind::text },
    { "Volume type", Key::volumeType, Kind::text },
    { "Volume UUID", Key::volumeUUID, Kind::uuid },
    { "Mountable", Key::volumeMountable, Kind::flag },
    { "Network volume", Key::volumeNetwork, Kind::flag },
    { "BSD name", Key::mediaBSDName, Kind::text },
    { "BSD major", Key::mediaBSDMajor, Kind::integer },
    { "BSD minor", Key::mediaBSDMinor, Kind::integer },
    { "BSD unit", Key::mediaBSDUnit, Kind::integer },
    { "Media name", Key::mediaName, Kind::text },
    { "Media kind", Key::mediaKind, Kind::text },
    { "Media type", Key::mediaType, Kind::text },
    { "Media size", Key::mediaSize, Kind::byteCount },
    { "Block size", Key::mediaBlockSize, Kind::integer },
    { "Media content", Key::mediaContent, Kind::text },
    { "Media UUID", Key::mediaUUID, Kind::uuid },
    { "Whole disk", Key::mediaWhole, Kind::flag },
    { "Leaf", Key::mediaLeaf, Kind::flag },
    { "Removable", Key::mediaRemovable, Kind::flag },
    { "Ejectable", Key::mediaEjectable, Kind::flag },
    { "Writable", Key::mediaWritable, Kind::flag },
    { "Encrypted", Key::mediaEncrypted, Kind::flag },
    { "Encryption detail", Key::mediaEncryptionDetail, Kind::integer },
    { "Repair running", Key::repairRunning, Kind::flag },
    { "Media path", Key::mediaPath, Kind::text },
    { "Device vendor", Key::deviceVendor, Kind::text },
    { "Device model", Key::deviceModel, Kind::text },
    { "Device revision", Key::deviceRevision, Kind::text },
    { "Protocol", Key::deviceProtocol, Kind::text },
    { "Internal", Key::deviceInternal, Kind::flag },
    { "Device unit", Key::deviceUnit, Kind::integer },
    { "Device GUID", Key::deviceGUID, Kind::data },
    { "Target Disk Mode locked", Key::deviceTDMLocked, Kind::flag },
    { "Device path", Key::devicePath, Kind::text },
    { "Bus name", Key::busName, Kind::text },
    { "Bus path", Key::busPath, Kind::text },
} };

std::optional<std::string> text(const DADiskValue& value)
{
    const auto* string = std::get_if<std::string>(&value);
    if (!string)
        return std::nullopt;
    auto trimmed = trimmingWhitespace(*string);
    if (trimmed.empty())
        return std::nullopt;
    return trimmed;
}

std::string uuidText(const DAUUID& uuid)
{
    const auto& b = uuid.bytes;
    return fmt::format("{:02X}{:02X}{:02X}{:02X}-{:02X}{:02X}-{:02X}{:02X}-{:02X}{:02X}-{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}",
        b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
}

std::optional<std::string> hexadecimal(const DADiskValue& value)
{
    const auto* bytes = std::get_if<Bytes>(&value);
    if (!bytes || bytes->empty())
        return std::nullopt;
    std::string hex;
    hex.reserve(bytes->size() * 2);
    for (const auto byte : *bytes)
        fmt::format_to(std::back_inserter(hex), "{:02X}", byte);
    return hex;
}

const DADiskValue* find(const DADiskDescription& description, Key key)
{
    const auto found = description.find(key);
    return found == description.end() ? nullptr : &found->second;
}

std::optional<std::string> entryText(const DADiskDescription& description, Key key)
{
    const auto* value = find(description, key);
    return value ? text(*value) : std::nullopt;
}

std::optional<bool> entryFlag(const DADiskDescription& description, Key key)
{
    const auto* value = find(description, key);
    const auto* flag = value ? std::get_if<bool>(value) : nullptr;
    return flag ? std::optional(*flag) : std::nullopt;
}

std::vector<std::string> traits(const DADiskDescription& description)
{
    if (entryFlag(description, Key::volumeNetwork) == true)
        return { "network volume" };
    std::vector<std::string> parts;
    if (auto protocol = entryText(description, Key::deviceProtocol))
        parts.push_back(std::move(*protocol));
    if (const auto internal = entryFlag(description, Key::deviceInternal))
        parts.push_back(*internal ? "internal" : "external");
    if (entryFlag(description, Key::mediaEjectable) == true)
        parts.push_back("ejectable");
    if (entryFlag(description, Key::mediaRemovable) == true)
        parts.push_back("removable");
    return parts;
}

} // namespace

std::span<const TintraDiskDescriptionBuilder::Row> TintraDiskDescriptionBuilder::fieldTable()
{
    return kFieldTable;
}

std::optional<std::string> TintraDiskDescriptionBuilder::format(const DADiskValue& value, Kind kind)
{
    switch (kind) {
    case Kind::text:
        return text(value);
    case Kind::flag:
        if (const auto* flag = std::get_if<bool>(&value))
            return *flag ? "yes" : "no";
        return std::nullopt;
    case Kind::integer:
        if (const auto* number = std::get_if<std::int64_t>(&value))
            return std::to_string(*number);
        return std::nullopt;
    case Kind::byteCount:
        if (const auto* number = std::get_if<std::int64_t>(&value))
            return formattedByteCount(*number) + " (" + formattedInteger(*number) + " bytes)";
        return std::nullopt;
    case Kind::uuid:
        if (const auto* uuid = std::get_if<DAUUID>(&value))
            return uuidText(*uuid);
        return text(value);
    case Kind::path:
        if (const auto* url = std::get_if<std::filesystem::path>(&value))
            return filePathWithoutTrailingSlash(*url);
        return std::nullopt;
    case Kind::data:
        return hexadecimal(value);
    }
    return std::nullopt;
}

TintraDiskDescription TintraDiskDescriptionBuilder::build(const DADiskDescription& description)
{
    TintraDiskDescription built;
    built.volumeName = entryText(description, Key::volumeName);
    for (const auto& row : kFieldTable) {
        const auto* value = find(description, row.key);
        if (auto formatted = value ? format(*value, row.kind) : std::nullopt)
            built.fields.push_back({ std::string(row.label), std::move(*formatted) });
    }
    built.summary = summary(description);
    return built;
}

std::string TintraDiskDescriptionBuilder::summary(const DADiskDescription& description)
{
    std::vector<std::string> parts;
    if (auto name = entryText(description, Key::mediaBSDName))
        parts.push_back(std::move(*name));
    if (auto type = entryText(description, Key::volumeType))
        parts.push_back(std::move(*type));
    else if (auto kind = entryText(description, Key::volumeKind))
        parts.push_back(std::move(*kind));
    const auto* size = find(description, Key::mediaSize);
    const auto* count = size ? std::get_if<std::int64_t>(size) : nullptr;
    if (count && *count >= 1)
        parts.push_back(formattedByteCount(*count));
    for (auto& trait : traits(description))
        parts.push_back(std::move(trait));
    std::string line;
    for (const auto& part : parts)
        line += (line.empty() ? "" : " · ") + part;
    return line;
}

std::string filePathWithoutTrailingSlash(const std::filesystem::path& url)
{
    std::string path = url.string();
    if (path.size() >= 2 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace tintra
