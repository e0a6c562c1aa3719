#include "shell/Appcast.h"

#include <algorithm>
#include <cctype>

namespace tintra {
namespace {

// Ranked so that where two versions differ in kind, the letters (a
// pre-release) are the older and the number the newer.
enum class PartKind { letters, separator, number };

struct VersionPart {
    PartKind kind;
    std::string_view text;
};

PartKind kindOf(unsigned char c)
{
    if (std::isdigit(c))
        return PartKind::number;
    if (std::isalpha(c) || c >= 0x80)
        return PartKind::letters;
    return PartKind::separator;
}

std::vector<VersionPart> versionParts(std::string_view version)
{
    std::vector<VersionPart> parts;
    std::size_t start = 0;
    while (start < version.size()) {
        const auto c = static_cast<unsigned char>(version[start]);
        if (std::isspace(c)) {
            ++start;
            continue;
        }
        const PartKind kind = kindOf(c);
        std::size_t end = start + 1;
        // Each separator stands alone; digits and letters run together.
        while (kind != PartKind::separator && end < version.size()
            && kindOf(static_cast<unsigned char>(version[end])) == kind)
            ++end;
        parts.push_back({ kind, version.substr(start, end - start) });
        start = end;
    }
    return parts;
}

// Digit strings of any length, without overflow.
int compareNumbers(std::string_view a, std::string_view b)
{
    const auto significant = [](std::string_view digits) {
        const auto first = digits.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : digits.substr(first);
    };
    a = significant(a);
    b = significant(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int sign(int value) { return (value > 0) - (value < 0); }

} // namespace

int compareVersions(std::string_view a, std::string_view b)
{
    const auto partsA = versionParts(a);
    const auto partsB = versionParts(b);
    const std::size_t common = std::min(partsA.size(), partsB.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto& partA = partsA[i];
        const auto& partB = partsB[i];
        if (partA.kind != partB.kind)
            return partA.kind < partB.kind ? -1 : 1;
        if (partA.kind == PartKind::number) {
            if (const int order = compareNumbers(partA.text, partB.text))
                return sign(order);
        } else if (partA.kind == PartKind::letters) {
            if (const int order = partA.text.compare(partB.text))
                return sign(order);
        }
    }
    if (partsA.size() == partsB.size())
        return 0;
    // The longer one is a pre-release when what it adds begins with letters.
    const bool aIsLonger = partsA.size() > partsB.size();
    const auto& extra = aIsLonger ? partsA[common] : partsB[common];
    const bool longerIsNewer = extra.kind != PartKind::letters;
    return aIsLonger == longerIsNewer ? 1 : -1;
}

std::optional<TintraAppcastItem> newestUpdate(const std::vector<TintraAppcastItem>& items,
    std::string_view currentVersion, const std::set<std::string>& channels)
{
    const TintraAppcastItem* newest = nullptr;
    for (const auto& item : items) {
        if (item.fileURL.empty() || item.version.empty())
            continue;
        if (!item.channel.empty() && !channels.contains(item.channel))
            continue;
        if (!newest || compareVersions(item.version, newest->version) > 0)
            newest = &item;
    }
    if (!newest || compareVersions(newest->version, currentVersion) <= 0)
        return std::nullopt;
    return *newest;
}

} // namespace tintra
