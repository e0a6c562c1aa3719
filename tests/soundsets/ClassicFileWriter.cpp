#include "soundsets/ClassicFileWriter.h"

#include "support/MacRoman.h"

#include <algorithm>
#include <stdexcept>

namespace tintra::testing {
namespace {

void append16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(std::uint8_t(value >> 8));
    bytes.push_back(std::uint8_t(value));
}

void append32(Bytes& bytes, std::uint32_t value)
{
    append16(bytes, value >> 16);
    append16(bytes, value);
}

void appendText(Bytes& bytes, const std::string& text)
{
    const auto encoded = encodeMacRoman(text);
    if (!encoded)
        throw std::invalid_argument("not Mac OS Roman: " + text);
    bytes.insert(bytes.end(), encoded->begin(), encoded->end());
}

void appendPascal(Bytes& bytes, const std::string& text)
{
    const auto encoded = encodeMacRoman(text).value();
    bytes.push_back(std::uint8_t(encoded.size()));
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
}

std::uint32_t read32(const Bytes& bytes, std::size_t offset)
{
    return std::uint32_t(bytes[offset]) << 24 | std::uint32_t(bytes[offset + 1]) << 16
        | std::uint32_t(bytes[offset + 2]) << 8 | bytes[offset + 3];
}

void padTo128(Bytes& bytes)
{
    bytes.resize((bytes.size() + 127) / 128 * 128, 0);
}

Bytes headerCommon(std::uint32_t countOrChannels, std::uint32_t rate, std::uint8_t encoding)
{
    Bytes header;
    append32(header, 0);  // sample pointer
    append32(header, countOrChannels);
    append32(header, rate);
    append32(header, 0);  // loop start
    append32(header, 0);  // loop end
    header.push_back(encoding);
    header.push_back(60);  // base note
    return header;
}

// An AppleSingle or AppleDouble file: the header, the entry table and the
// entries one after the other, in the order given.
Bytes appleFile(std::uint32_t magic, std::uint32_t version, const std::vector<std::pair<std::uint32_t, Bytes>>& entries)
{
    Bytes file;
    append32(file, magic);
    append32(file, version);
    file.resize(24, 0);
    append16(file, std::uint16_t(entries.size()));
    std::uint32_t offset = 26 + std::uint32_t(entries.size()) * 12;
    for (const auto& [identifier, bytes] : entries) {
        append32(file, identifier);
        append32(file, offset);
        append32(file, std::uint32_t(bytes.size()));
        offset += std::uint32_t(bytes.size());
    }
    for (const auto& entry : entries)
        file.insert(file.end(), entry.second.begin(), entry.second.end());
    return file;
}

} // namespace

void put16(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    bytes.at(offset) = std::uint8_t(value >> 8);
    bytes.at(offset + 1) = std::uint8_t(value);
}

void put32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    put16(bytes, offset, value >> 16);
    put16(bytes, offset + 2, value);
}

Bytes resourceFork(const std::vector<ForkEntry>& entries)
{
    std::vector<std::string> types;
    for (const auto& entry : entries) {
        if (std::find(types.begin(), types.end(), entry.type) == types.end())
            types.push_back(entry.type);
    }
    Bytes data;
    Bytes names;
    std::vector<Bytes> referenceLists(types.size());
    std::vector<std::uint16_t> counts(types.size());
    for (const auto& entry : entries) {
        const auto typeIndex = std::size_t(std::find(types.begin(), types.end(), entry.type) - types.begin());
        auto& references = referenceLists[typeIndex];
        ++counts[typeIndex];
        append16(references, std::uint16_t(entry.identifier));
        if (entry.name) {
            append16(references, std::uint32_t(names.size()));
            appendPascal(names, *entry.name);
        } else {
            append16(references, 0xFFFF);
        }
        references.push_back(entry.attributes);
        const auto dataOffset = std::uint32_t(data.size());
        references.push_back(std::uint8_t(dataOffset >> 16));
        append16(references, dataOffset);
        append32(references, 0);  // handle
        append32(data, std::uint32_t(entry.data.size()));
        data.insert(data.end(), entry.data.begin(), entry.data.end());
    }

    Bytes typeList;
    append16(typeList, std::uint16_t(types.size() - 1));
    std::uint32_t referenceOffset = 2 + 8 * std::uint32_t(types.size());
    for (std::size_t i = 0; i < types.size(); ++i) {
        appendText(typeList, types[i]);
        append16(typeList, std::uint16_t(counts[i] - 1));
        append16(typeList, referenceOffset);
        referenceOffset += std::uint32_t(referenceLists[i].size());
    }
    for (const auto& references : referenceLists)
        typeList.insert(typeList.end(), references.begin(), references.end());

    const std::uint32_t dataOffset = 256;
    const std::uint32_t mapOffset = dataOffset + std::uint32_t(data.size());
    Bytes map(16 + 4 + 2 + 2, 0);  // header copy, handle, file reference, attributes
    append16(map, 28);
    append16(map, 28 + std::uint32_t(typeList.size()));
    map.insert(map.end(), typeList.begin(), typeList.end());
    map.insert(map.end(), names.begin(), names.end());

    Bytes fork;
    append32(fork, dataOffset);
    append32(fork, mapOffset);
    append32(fork, std::uint32_t(data.size()));
    append32(fork, std::uint32_t(map.size()));
    fork.resize(dataOffset, 0);
    fork.insert(fork.end(), data.begin(), data.end());
    fork.insert(fork.end(), map.begin(), map.end());
    return fork;
}

ForkLayout layoutOf(const Bytes& fork)
{
    const auto mapOffset = read32(fork, 4);
    return { read32(fork, 0), mapOffset, mapOffset + 28 };
}

Bytes appleDouble(const Bytes& fork, std::size_t finderInfoSize, std::uint32_t version)
{
    // Finder info first in the table, the fork after it: readers must not assume positions.
    return appleFile(0x00051607, version, { { 9, Bytes(finderInfoSize, 0) }, { 2, fork } });
}

Bytes appleSingle(const Bytes& dataFork, const Bytes& fork, std::uint32_t version)
{
    return appleFile(0x00051600, version, { { 1, dataFork }, { 2, fork } });
}

Bytes macBinary(const std::string& name, const Bytes& dataFork, const Bytes& fork, MacBinaryVersion version)
{
    Bytes header(128, 0);
    const auto encodedName = encodeMacRoman(name).value();
    header[1] = std::uint8_t(encodedName.size());
    std::copy(encodedName.begin(), encodedName.end(), header.begin() + 2);
    std::copy_n("sfilmovr", 8, header.begin() + 65);
    put32(header, 83, std::uint32_t(dataFork.size()));
    put32(header, 87, std::uint32_t(fork.size()));
    if (version != MacBinaryVersion::one) {
        if (version == MacBinaryVersion::three)
            std::copy_n("mBIN", 4, header.begin() + 102);
        header[122] = version == MacBinaryVersion::three ? 130 : 129;
        header[123] = 129;
        std::uint16_t crc = 0;
        for (std::size_t i = 0; i < 124; ++i) {
            crc ^= std::uint16_t(header[i] << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x8000) ? std::uint16_t(crc << 1 ^ 0x1021) : std::uint16_t(crc << 1);
        }
        put16(header, 124, crc);
    }
    Bytes file = header;
    file.insert(file.end(), dataFork.begin(), dataFork.end());
    padTo128(file);
    file.insert(file.end(), fork.begin(), fork.end());
    padTo128(file);
    return file;
}

Bytes standardHeader(const Bytes& sampleBytes, std::uint32_t rate, std::optional<std::uint32_t> declaredCount)
{
    auto header = headerCommon(declaredCount.value_or(std::uint32_t(sampleBytes.size())), rate, 0x00);
    header.insert(header.end(), sampleBytes.begin(), sampleBytes.end());
    return header;
}

Bytes extendedHeader(std::uint32_t channels, std::uint32_t frames, std::uint16_t sampleSize, std::uint32_t rate,
                     const Bytes& sampleBytes)
{
    auto header = headerCommon(channels, rate, 0xFF);
    append32(header, frames);
    header.resize(48, 0);  // AIFF rate, marker, instrument, AES fields
    append16(header, sampleSize);
    header.resize(64, 0);
    header.insert(header.end(), sampleBytes.begin(), sampleBytes.end());
    return header;
}

Bytes compressedHeader(const std::string& format, std::uint32_t channels, std::uint32_t frames, std::uint32_t rate,
                       const Bytes& sampleBytes)
{
    auto header = headerCommon(channels, rate, 0xFE);
    append32(header, frames);
    header.resize(40, 0);
    appendText(header, format);
    header.resize(64, 0);
    header.insert(header.end(), sampleBytes.begin(), sampleBytes.end());
    return header;
}

Bytes soundFormat1(const Bytes& header, std::uint16_t command, std::uint16_t modifiers)
{
    Bytes sound;
    append16(sound, 1);
    append16(sound, modifiers);
    for (std::uint16_t i = 0; i < modifiers; ++i) {
        append16(sound, 5);  // sampledSynth
        append32(sound, 0x80);
    }
    append16(sound, 1);
    append16(sound, command);
    append16(sound, 0);
    append32(sound, std::uint32_t(sound.size() + 4));
    sound.insert(sound.end(), header.begin(), header.end());
    return sound;
}

Bytes soundFormat2(const Bytes& header, std::uint16_t command)
{
    Bytes sound;
    append16(sound, 2);
    append16(sound, 0);  // reference count
    append16(sound, 1);
    append16(sound, command);
    append16(sound, 0);
    append32(sound, std::uint32_t(sound.size() + 4));
    sound.insert(sound.end(), header.begin(), header.end());
    return sound;
}

Bytes soundList(const std::vector<std::pair<TintraSoundID, std::vector<std::int16_t>>>& entries, std::size_t entrySize)
{
    std::vector<std::size_t> slotOffsets;
    if (entrySize == 20)
        slotOffsets = { 4, 6, 8 };
    else if (entrySize == 44)
        slotOffsets = { 12, 20, 28, 36 };
    else
        for (std::size_t offset = 4; offset + 2 <= entrySize; offset += 2)
            slotOffsets.push_back(offset);
    Bytes list;
    append16(list, 0);
    append16(list, std::uint32_t(entries.size()));
    for (const auto& [soundID, slots] : entries) {
        Bytes entry(entrySize, 0);
        put32(entry, 0, soundID.rawValue);
        for (std::size_t i = 0; i < slots.size() && i < slotOffsets.size(); ++i)
            put16(entry, slotOffsets[i], std::uint16_t(slots[i]));
        list.insert(list.end(), entry.begin(), entry.end());
    }
    return list;
}

Bytes versionResource(const std::string& shortText, const std::string& longText)
{
    Bytes vers { 1, 0, 0x80, 0, 0, 0 };
    appendPascal(vers, shortText);
    appendPascal(vers, longText);
    return vers;
}

Bytes bigEndian16(const std::vector<std::int16_t>& samples)
{
    Bytes bytes;
    for (auto sample : samples)
        append16(bytes, std::uint16_t(sample));
    return bytes;
}

} // namespace tintra::testing
