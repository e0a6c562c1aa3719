#include "support/PropertyList.h"

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

namespace tintra {

namespace {

// Binary inputs whose shared objects would expand beyond the size limit are
// refused: libplist 2.2 copies a shared object once per reference, so a few
// hundred hostile bytes could otherwise ask for gigabytes.
constexpr std::uint64_t kMaxBytes = kPropertyListMaxBytes;
// What one node costs in the expansion estimate, on top of its payload.
constexpr std::uint64_t kNodeCost = 128;

const WallTime kEpoch2001 { std::chrono::sys_days { std::chrono::year { 2001 } / 1 / 1 } };

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

struct XmlFree {
    void operator()(char* text) const { plist_to_xml_free(text); }
};

struct MallocFree {
    void operator()(void* memory) const { std::free(memory); }
};

tl::unexpected<PropertyListError> failure(PropertyListError::Case kind, std::string detail = {})
{
    return tl::unexpected(PropertyListError { kind, std::move(detail) });
}

// Walks the object graph of a binary property list without expanding it, to
// bound what libplist would build from it.
class BinaryScan {
public:
    explicit BinaryScan(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::optional<PropertyListError> check()
    {
        constexpr std::size_t headerSize = 8;
        constexpr std::size_t trailerSize = 32;
        if (bytes_.size() < headerSize + trailerSize)
            return PropertyListError { PropertyListError::Case::malformed, "binary property list too short" };
        const std::size_t trailer = bytes_.size() - trailerSize;
        offsetSize_ = bytes_[trailer + 6];
        refSize_ = bytes_[trailer + 7];
        const std::uint64_t count = readUInt(trailer + 8, 8);
        const std::uint64_t top = readUInt(trailer + 16, 8);
        tableOffset_ = readUInt(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 || tableOffset_ < headerSize
            || tableOffset_ > trailer || count == 0 || count > (trailer - tableOffset_) / offsetSize_ || top >= count)
            return PropertyListError { PropertyListError::Case::malformed, "binary property list trailer is inconsistent" };
        count_ = count;
        cost_.assign(count, 0);
        height_.assign(count, 0);
        state_.assign(count, State::unseen);
        std::uint64_t total = 0;
        return visit(top, 1, total);
    }

private:
    enum class State : std::uint8_t { unseen, open, done };

    std::uint64_t readUInt(std::size_t offset, std::size_t width) const
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value = (value << 8) | bytes_[offset + i];
        return value;
    }

    static std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b)
    {
        return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
    }

    static PropertyListError malformed(const char* why) { return { PropertyListError::Case::malformed, why }; }

    struct ObjectHeader {
        int type;
        std::uint64_t length; // the marker's count, or the count object that follows it
        std::uint64_t position; // of the object's contents
    };

    tl::expected<ObjectHeader, PropertyListError> headerOf(std::uint64_t index) const
    {
        const std::uint64_t offset = readUInt(tableOffset_ + index * offsetSize_, offsetSize_);
        if (offset < 8 || offset >= tableOffset_)
            return tl::unexpected(malformed("binary property list object lies outside its object area"));
        const std::uint8_t marker = bytes_[offset];
        ObjectHeader header { marker >> 4, std::uint64_t(marker & 0x0f), offset + 1 };
        const int type = header.type;
        const bool counted = type == 0x4 || type == 0x5 || type == 0x6 || type == 0xa || type == 0xc || type == 0xd;
        if (counted && header.length == 0x0f) {
            if (header.position >= tableOffset_)
                return tl::unexpected(malformed("binary property list count is cut off"));
            const std::uint8_t countMarker = bytes_[header.position];
            const std::uint64_t width = std::uint64_t(1) << (countMarker & 0x0f);
            if ((countMarker & 0xf0) != 0x10 || width > 8 || header.position + 1 + width > tableOffset_)
                return tl::unexpected(malformed("binary property list count is malformed"));
            header.length = readUInt(header.position + 1, width);
            header.position += 1 + width;
        }
        return header;
    }

    // libplist asserts (and so aborts) on a key that is not a string or that
    // holds a NUL character, so such keys must never reach it.
    std::optional<PropertyListError> checkKey(std::uint64_t index) const
    {
        const auto header = headerOf(index);
        if (!header)
            return header.error();
        if (header->type != 0x5 && header->type != 0x6)
            return malformed("binary property list has a key that is not a string");
        const std::uint64_t unit = header->type == 0x6 ? 2 : 1;
        if (header->length > (tableOffset_ - header->position) / unit)
            return malformed("binary property list key runs past its object area");
        for (std::uint64_t i = 0; i < header->length; ++i) {
            if (readUInt(header->position + i * unit, unit) == 0)
                return malformed("binary property list key holds a NUL character");
        }
        return std::nullopt;
    }

    std::optional<PropertyListError> visit(std::uint64_t index, int depth, std::uint64_t& total)
    {
        if (depth > kPropertyListMaxDepth)
            return PropertyListError { PropertyListError::Case::tooDeep, {} };
        if (state_[index] == State::open)
            return malformed("binary property list refers to itself");
        if (state_[index] == State::done) {
            if (depth + height_[index] - 1 > kPropertyListMaxDepth)
                return PropertyListError { PropertyListError::Case::tooDeep, {} };
            total = saturatingAdd(total, cost_[index]);
            return total > kMaxBytes ? std::optional(PropertyListError { PropertyListError::Case::tooLarge, {} }) : std::nullopt;
        }

        const auto header = headerOf(index);
        if (!header)
            return header.error();
        const auto [type, length, position] = *header;

        std::uint64_t cost = kNodeCost;
        int height = 1;
        state_[index] = State::open;
        if (type == 0x4 || type == 0x5) {
            cost = saturatingAdd(cost, length);
        } else if (type == 0x6) {
            cost = saturatingAdd(cost, length > kMaxBytes ? length : length * 3); // UTF-16 units as UTF-8
        } else if (type == 0xa || type == 0xc || type == 0xd) {
            const std::uint64_t refs = type == 0xd ? length * 2 : length;
            if (length > tableOffset_ || refs > (tableOffset_ - position) / refSize_)
                return malformed("binary property list container runs past its object area");
            for (std::uint64_t i = 0; i < refs; ++i) {
                const std::uint64_t child = readUInt(position + i * refSize_, refSize_);
                if (child >= count_)
                    return malformed("binary property list refers to a missing object");
                if (type == 0xd && i < length) {
                    if (auto error = checkKey(child))
                        return error;
                }
                std::uint64_t childCost = 0;
                if (auto error = visit(child, depth + 1, childCost))
                    return error;
                cost = saturatingAdd(cost, childCost);
                height = std::max(height, 1 + height_[child]);
                if (cost > kMaxBytes)
                    return PropertyListError { PropertyListError::Case::tooLarge, {} };
            }
        }
        state_[index] = State::done;
        cost_[index] = cost;
        height_[index] = height;
        total = saturatingAdd(total, cost);
        return total > kMaxBytes ? std::optional(PropertyListError { PropertyListError::Case::tooLarge, {} }) : std::nullopt;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t tableOffset_ = 0;
    std::vector<std::uint64_t> cost_;
    std::vector<int> height_;
    std::vector<State> state_;
};

tl::expected<PropertyList, PropertyListError> fromNode(plist_t node, int depth)
{
    if (depth > kPropertyListMaxDepth)
        return failure(PropertyListError::Case::tooDeep);
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PropertyList(value != 0);
    }
    case PLIST_UINT: {
        // libplist 2.2 keeps signed integers in two's complement.
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return PropertyList(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PropertyList(value);
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return PropertyList(text ? std::string(text, length) : std::string());
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const auto* data = reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(node, &length));
        return PropertyList(data ? Bytes(data, data + length) : Bytes());
    }
    case PLIST_DATE: {
        std::int32_t secondsSince2001 = 0;
        std::int32_t microseconds = 0;
        plist_get_date_val(node, &secondsSince2001, &microseconds);
        // libplist 2.2 splits binary dates towards zero and keeps the fraction's
        // magnitude only: -86399.75 comes as (-86399, 750000). Between -1 and 0
        // the sign is lost altogether.
        const auto fraction = std::chrono::microseconds(secondsSince2001 < 0 ? -microseconds : microseconds);
        return PropertyList(kEpoch2001 + std::chrono::seconds(secondsSince2001) + fraction);
    }
    case PLIST_ARRAY: {
        PropertyList::Array items;
        const std::uint32_t size = plist_array_get_size(node);
        items.reserve(size);
        for (std::uint32_t i = 0; i < size; ++i) {
            plist_t child = plist_array_get_item(node, i);
            if (!child)
                return failure(PropertyListError::Case::malformed, "array item missing");
            auto item = fromNode(child, depth + 1);
            if (!item)
                return item;
            items.push_back(std::move(*item));
        }
        return PropertyList(std::move(items));
    }
    case PLIST_DICT: {
        PropertyList::Dictionary entries;
        plist_dict_iter rawIterator = nullptr;
        plist_dict_new_iter(node, &rawIterator);
        std::unique_ptr<void, MallocFree> iterator(rawIterator);
        for (;;) {
            char* rawKey = nullptr;
            plist_t child = nullptr;
            plist_dict_next_item(node, rawIterator, &rawKey, &child);
            std::unique_ptr<char, MallocFree> key(rawKey);
            if (!child)
                break;
            auto item = fromNode(child, depth + 1);
            if (!item)
                return item;
            // A repeated key keeps its last value.
            entries.insert_or_assign(key ? std::string(key.get()) : std::string(), std::move(*item));
        }
        return PropertyList(std::move(entries));
    }
    case PLIST_UID:
        return failure(PropertyListError::Case::unsupportedValue, "UID");
    case PLIST_KEY:
        return failure(PropertyListError::Case::unsupportedValue, "dictionary key");
    default:
        return failure(PropertyListError::Case::unsupportedValue, "null");
    }
}

tl::expected<PlistPtr, PropertyListError> toNode(const PropertyList& list, int depth)
{
    if (depth > kPropertyListMaxDepth)
        return failure(PropertyListError::Case::tooDeep);
    auto hasNul = [](const std::string& text) { return text.find('\0') != std::string::npos; };
    return std::visit(
        [&](const auto& value) -> tl::expected<PlistPtr, PropertyListError> {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>) {
                return PlistPtr(plist_new_bool(value ? 1 : 0));
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return PlistPtr(plist_new_uint(static_cast<std::uint64_t>(value)));
            } else if constexpr (std::is_same_v<T, double>) {
                return PlistPtr(plist_new_real(value));
            } else if constexpr (std::is_same_v<T, std::string>) {
                if (hasNul(value))
                    return failure(PropertyListError::Case::unwritable, "a text holds a NUL character");
                return PlistPtr(plist_new_string(value.c_str()));
            } else if constexpr (std::is_same_v<T, Bytes>) {
                return PlistPtr(plist_new_data(reinterpret_cast<const char*>(value.data()), value.size()));
            } else if constexpr (std::is_same_v<T, WallTime>) {
                const auto seconds = std::chrono::floor<std::chrono::seconds>(value - kEpoch2001).count();
                if (seconds < std::numeric_limits<std::int32_t>::min() || seconds > std::numeric_limits<std::int32_t>::max())
                    return failure(PropertyListError::Case::unwritable, "a date lies outside the years 1932 to 2069");
                return PlistPtr(plist_new_date(static_cast<std::int32_t>(seconds), 0));
            } else if constexpr (std::is_same_v<T, PropertyList::Array>) {
                PlistPtr array(plist_new_array());
                for (const auto& item : value) {
                    auto child = toNode(item, depth + 1);
                    if (!child)
                        return child;
                    plist_array_append_item(array.get(), child->release());
                }
                return array;
            } else {
                PlistPtr dictionary(plist_new_dict());
                for (const auto& [key, item] : value) {
                    if (hasNul(key))
                        return failure(PropertyListError::Case::unwritable, "a key holds a NUL character");
                    auto child = toNode(item, depth + 1);
                    if (!child)
                        return child;
                    plist_dict_set_item(dictionary.get(), key.c_str(), child->release());
                }
                return dictionary;
            }
        },
        list.value);
}

} // namespace

std::string PropertyListError::description() const
{
    switch (kind) {
    case Case::tooLarge:
        return "The property list is too large to read.";
    case Case::malformed:
        return "The property list could not be read because it is damaged or in an unknown format.";
    case Case::unsupportedValue:
        return "The property list holds a value of a kind that is not supported (" + detail + ").";
    case Case::tooDeep:
        return "The property list is nested too deeply.";
    case Case::unwritable:
        return "The property list could not be written because " + detail + ".";
    }
    return "The property list could not be read.";
}

tl::expected<PropertyList, PropertyListError> readPropertyList(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return failure(PropertyListError::Case::malformed, "no bytes");
    // Also keeps the length within libplist's 32-bit parameter.
    if (bytes.size() > kMaxBytes)
        return failure(PropertyListError::Case::tooLarge);
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const auto length = static_cast<std::uint32_t>(bytes.size());
    if (bytes.size() >= 6 && std::memcmp(data, "bplist", 6) == 0) {
        if (auto error = BinaryScan(bytes).check())
            return tl::unexpected(std::move(*error));
    }
    plist_t raw = nullptr;
    plist_from_memory(data, length, &raw);
    PlistPtr root(raw);
    if (!root)
        return failure(PropertyListError::Case::malformed);
    return fromNode(root.get(), 1);
}

tl::expected<std::string, PropertyListError> writePropertyListXML(const PropertyList& list)
{
    auto root = toNode(list, 1);
    if (!root)
        return tl::unexpected(root.error());
    char* rawText = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root->get(), &rawText, &length);
    std::unique_ptr<char, XmlFree> text(rawText);
    if (!text)
        return failure(PropertyListError::Case::unwritable, "the XML writer produced nothing");
    return std::string(text.get(), length);
}

} // namespace tintra
