#include "soundsets/ClassicSoundSet.h"

#include "catalogue/Catalogue.h"
#include "soundsets/BigEndian.h"
#include "support/MacRoman.h"
#include "support/Text.h"

#include <algorithm>
#include <array>

namespace tintra {
namespace {

using Mapping = std::map<TintraSoundID, std::int16_t>;

bool isLooping(TintraSoundID soundID)
{
    const auto* entry = entryBySoundID(soundID);
    return entry && entry->flags.contains(TintraSoundFlags::looping);
}

std::vector<std::size_t> slotOffsets(std::size_t entrySize)
{
    if (entrySize == 20)
        return { 4, 6, 8 };
    if (entrySize == 44)
        return { 12, 20, 28, 36 };
    std::vector<std::size_t> offsets;
    for (std::size_t offset = 4; offset + 2 <= entrySize; offset += 2)
        offsets.push_back(offset);
    return offsets;
}

Mapping mapFromSoundLists(const TintraResourceProviding& provider, const std::map<std::int16_t, Bytes>& soundBodies)
{
    Mapping mapping;
    for (const auto& list : provider.resources("snd#")) {
        for (const auto& entry : parseSoundList(list.data)) {
            if (const auto chosen = chooseSlot(entry, soundBodies))
                mapping.try_emplace(entry.soundID, *chosen);
        }
    }
    return mapping;
}

Mapping mapFromIdentifications(const TintraResourceProviding& provider, const std::map<std::int16_t, Bytes>& soundBodies)
{
    Mapping mapping;
    for (const auto& identification : provider.resources("sdid")) {
        const auto code = readU32(identification.data, 0);
        if (!soundBodies.contains(identification.identifier) || !code || !entryBySoundID(TintraSoundID(*code)))
            continue;
        mapping.try_emplace(TintraSoundID(*code), identification.identifier);
    }
    return mapping;
}

std::string_view trimmed(std::string_view text, std::string_view characters)
{
    const auto first = text.find_first_not_of(characters);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

// "wcep / wcxp" names two sounds; a piece counts when its first four
// characters are four bytes of UTF-8, that is plain ASCII.
std::vector<TintraSoundID> soundIDsInName(std::string_view name)
{
    std::vector<TintraSoundID> soundIDs;
    while (!name.empty()) {
        const auto slash = name.find('/');
        const auto piece = trimmed(name.substr(0, slash), " \t");
        name = slash == std::string_view::npos ? std::string_view {} : name.substr(slash + 1);
        const auto characters = decodeUTF8(piece);
        if (!characters || characters->size() < 4)
            continue;
        if (std::any_of(characters->begin(), characters->begin() + 4, [](char32_t c) { return c >= 0x80; }))
            continue;
        soundIDs.push_back(TintraSoundID(*readU32(std::span(reinterpret_cast<const std::uint8_t*>(piece.data()), 4), 0)));
    }
    return soundIDs;
}

Mapping mapFromNames(const TintraResourceProviding& provider, const std::map<std::int16_t, Bytes>& soundBodies)
{
    Mapping mapping;
    for (const auto& sound : provider.resources("snd ")) {
        if (!sound.name || !soundBodies.contains(sound.identifier))
            continue;
        for (auto soundID : soundIDsInName(*sound.name)) {
            if (entryBySoundID(soundID))
                mapping.try_emplace(soundID, sound.identifier);
        }
    }
    return mapping;
}

std::optional<std::string> cleanedVersionText(std::optional<std::string> text)
{
    if (!text)
        return std::nullopt;
    std::string unified;
    for (std::size_t i = 0; i < text->size(); ++i) {
        if ((*text)[i] == '\r') {
            unified += '\n';
            if (i + 1 < text->size() && (*text)[i + 1] == '\n')
                ++i;
        } else {
            unified += (*text)[i];
        }
    }
    // Spaces and line breaks, the no-break space of Mac OS Roman (0xCA) among them.
    std::string_view rest = unified;
    for (bool changed = true; changed;) {
        const auto before = rest.size();
        rest = trimmed(rest, " \t\n\v\f");
        while (rest.starts_with("\u00A0"))
            rest.remove_prefix(2);
        while (rest.ends_with("\u00A0"))
            rest.remove_suffix(2);
        changed = rest.size() != before;
    }
    if (rest.empty())
        return std::nullopt;
    return std::string(rest);
}

const TintraRawResource* chosenVersion(const std::vector<TintraRawResource>& versions)
{
    for (std::int16_t preferred : { 1, 2 }) {
        const auto found = std::find_if(versions.begin(), versions.end(), [&](const auto& v) { return v.identifier == preferred; });
        if (found != versions.end())
            return &*found;
    }
    const auto lowest = std::min_element(versions.begin(), versions.end(),
                                         [](const auto& a, const auto& b) { return a.identifier < b.identifier; });
    return lowest == versions.end() ? nullptr : &*lowest;
}

} // namespace

std::string TintraClassicSoundSetError::description() const
{
    const auto name = url.filename().string();
    switch (kind) {
    case Case::noResourceFork: return name + " has no resource fork, so it is not a classic sound set";
    case Case::noSoundResources: return name + " has a resource fork but no sounds in it";
    case Case::noRecognizedEvents: return name + " has sounds but none map to a Tintra event";
    }
    return {};
}

tl::expected<TintraClassicSoundSet, TintraClassicSoundSetError> loadClassicSoundSet(const std::filesystem::path& url)
{
    using Case = TintraClassicSoundSetError::Case;
    const auto fork = TintraResourceFork::open(url);
    if (!fork)
        return tl::unexpected(TintraClassicSoundSetError { Case::noResourceFork, url });
    if (!fork->containsResourceType("snd "))
        return tl::unexpected(TintraClassicSoundSetError { Case::noSoundResources, url });
    auto set = parseClassicSoundSet(TintraResourceForkProvider(*fork), url.filename().string());
    if (set.resourceIDsBySoundID.empty())
        return tl::unexpected(TintraClassicSoundSetError { Case::noRecognizedEvents, url });
    return set;
}

TintraClassicSoundSet parseClassicSoundSet(const TintraResourceProviding& provider, std::string name)
{
    TintraClassicSoundSet set;
    set.name = std::move(name);
    for (auto& sound : provider.resources("snd ")) {
        if (sound.data.empty())
            continue;
        set.soundBodies[sound.identifier] = std::move(sound.data);
        if (sound.isCompressed)
            set.compressedResourceIDs.insert(sound.identifier);
        else
            set.compressedResourceIDs.erase(sound.identifier);
    }
    for (auto source : { mapFromSoundLists, mapFromIdentifications, mapFromNames }) {
        set.resourceIDsBySoundID = source(provider, set.soundBodies);
        if (!set.resourceIDsBySoundID.empty())
            break;
    }
    auto texts = readVersionResource(provider.resources("vers"));
    set.version = std::move(texts.version);
    set.copyright = std::move(texts.copyright);
    return set;
}

std::vector<SoundListEntry> parseSoundList(std::span<const std::uint8_t> data)
{
    const auto count = readU16(data, 2);
    if (!count || *count == 0)
        return {};
    const std::size_t entrySize = (data.size() - 4) / *count;
    if (entrySize < 8)
        return {};
    const auto offsets = slotOffsets(entrySize);
    std::vector<SoundListEntry> entries;
    entries.reserve(*count);
    for (std::size_t index = 0; index < *count; ++index) {
        const std::size_t start = 4 + index * entrySize;
        SoundListEntry entry { TintraSoundID(*readU32(data, start)), {} };
        for (auto offset : offsets) {
            const auto value = readU16(data, start + offset);
            entry.slots.push_back(value && *value != 0 ? std::optional(std::int16_t(*value)) : std::nullopt);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<std::int16_t> chooseSlot(const SoundListEntry& entry, const std::map<std::int16_t, Bytes>& soundBodies)
{
    std::vector<std::size_t> order;
    if (isLooping(entry.soundID))
        order = { 1, 2, 0, 3 };
    else
        for (std::size_t index = 0; index < entry.slots.size(); ++index)
            order.push_back(index);
    for (auto index : order) {
        if (index >= entry.slots.size())
            continue;
        const auto& slot = entry.slots[index];
        if (slot && soundBodies.contains(*slot))
            return *slot;
    }
    return std::nullopt;
}

TintraVersionTexts readVersionResource(const std::vector<TintraRawResource>& versions)
{
    const auto* chosen = chosenVersion(versions);
    if (!chosen || chosen->data.size() <= 6)
        return {};
    const auto shortText = readPascalString(6, chosen->data);
    const auto longText = readPascalString(shortText.nextOffset, chosen->data);
    return { cleanedVersionText(shortText.text), cleanedVersionText(longText.text) };
}

TintraPascalString readPascalString(std::size_t offset, std::span<const std::uint8_t> data)
{
    if (offset >= data.size())
        return { std::nullopt, offset };
    const std::size_t length = data[offset];
    const auto text = data.subspan(offset + 1, std::min(length, data.size() - offset - 1));
    if (text.empty())
        return { std::nullopt, offset + 1 };
    return { decodeMacRoman(text), offset + 1 + length };
}

} // namespace tintra
