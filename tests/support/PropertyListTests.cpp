#include "support/PropertyList.h"
#include "support/PropertyListPrinter.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace tintra {
namespace {

using namespace std::chrono_literals;

const WallTime kEpoch2001 { std::chrono::sys_days { std::chrono::year { 2001 } / 1 / 1 } };

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

PropertyList roundTrip(const PropertyList& list)
{
    auto xml = writePropertyListXML(list);
    EXPECT_TRUE(xml.has_value()) << (xml ? "" : xml.error().description());
    if (!xml)
        return {};
    auto read = readPropertyList(bytesOf(*xml));
    EXPECT_TRUE(read.has_value()) << (read ? "" : read.error().description()) << "\n" << *xml;
    return read ? *read : PropertyList {};
}

// Binary bytes made by libplist itself from a tree built with its own calls.
Bytes binaryOf(plist_t root)
{
    char* bin = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    Bytes bytes(bin, bin + length);
    plist_to_bin_free(bin);
    plist_free(root);
    return bytes;
}

PropertyList::Dictionary everyKind()
{
    Bytes allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.push_back(static_cast<std::uint8_t>(i));
    return {
        { "yes", true },
        { "no", false },
        { "integer", -42 },
        { "real", 0.1 },
        { "text", "Klänge <&> ]]> \"quoted\" 'single' 音" },
        { "empty text", "" },
        { "data", allBytes },
        { "empty data", Bytes {} },
        { "date", kEpoch2001 + 86400s * 9000 + 3723s },
        { "array", PropertyList::Array { 1, "two", PropertyList::Array {}, PropertyList::Dictionary {} } },
        { "", PropertyList::Dictionary { { "nested", PropertyList::Dictionary { { "deeper", true } } } } },
        { "key <&>", "value" },
    };
}

TEST(PropertyListXML, EveryValueKindSurvivesARoundTrip)
{
    const PropertyList original(everyKind());
    EXPECT_EQ(roundTrip(original), original);
}

TEST(PropertyListXML, ScalarsAtTheTopLevelRoundTrip)
{
    for (const PropertyList& value : { PropertyList(true), PropertyList(7), PropertyList("solo"), PropertyList(Bytes { 0, 1 }) })
        EXPECT_EQ(roundTrip(value), value);
}

TEST(PropertyListXML, IntegersKeepTheirSignAndFullRange)
{
    const std::int64_t values[] = {
        0, 1, -1, 255, -256, 4294967296, -2147483649,
        std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min(),
    };
    for (auto value : values) {
        const auto read = roundTrip(PropertyList(value));
        ASSERT_NE(read.asInteger(), nullptr) << value;
        EXPECT_EQ(*read.asInteger(), value);
    }
    auto negative = readPropertyList(bytesOf("<plist><integer>-5</integer></plist>"));
    ASSERT_TRUE(negative);
    ASSERT_NE(negative->asInteger(), nullptr);
    EXPECT_EQ(*negative->asInteger(), -5);
}

TEST(PropertyListXML, RealsKeepEveryBitAndStayReals)
{
    const double values[] = { 0.1, 1.0 / 3.0, 1e300, -2.5e-308, 5e-324, 3.0, -std::numeric_limits<double>::infinity() };
    for (double value : values) {
        const auto read = roundTrip(PropertyList(value));
        ASSERT_NE(read.asReal(), nullptr) << value; // 3.0 must not come back as an integer
        EXPECT_EQ(*read.asReal(), value);
    }
    const auto nan = roundTrip(PropertyList(std::numeric_limits<double>::quiet_NaN()));
    ASSERT_NE(nan.asReal(), nullptr);
    EXPECT_TRUE(std::isnan(*nan.asReal()));
}

TEST(PropertyListXML, DatesRoundTripInWholeSecondsOnBothSidesOf2001)
{
    for (auto date : { kEpoch2001, kEpoch2001 - 1s, kEpoch2001 - 86400s * 365 * 30, kEpoch2001 + 86400s * 365 * 60 })
        EXPECT_EQ(roundTrip(PropertyList(date)), PropertyList(date));

    // The fraction is dropped towards the past, also before the epoch.
    EXPECT_EQ(roundTrip(PropertyList(kEpoch2001 + 10700ms)), PropertyList(kEpoch2001 + 10s));
    EXPECT_EQ(roundTrip(PropertyList(kEpoch2001 - 99500ms)), PropertyList(kEpoch2001 - 100s));

    auto read = readPropertyList(bytesOf("<plist><date>1999-12-31T23:59:59Z</date></plist>"));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, PropertyList(WallTime(std::chrono::sys_days { std::chrono::year { 2000 } / 1 / 1 } - 1s)));
}

TEST(PropertyListXML, RefusesWhatItCannotWriteFaithfully)
{
    const PropertyList cases[] = {
        PropertyList(kEpoch2001 + 86400s * 365 * 70),
        PropertyList(kEpoch2001 - 86400s * 365 * 70),
        PropertyList(std::string("before\0after", 12)),
        PropertyList(PropertyList::Dictionary { { std::string("k\0ey", 4), 1 } }),
        PropertyList(PropertyList::Array { PropertyList::Array { std::string(1, '\0') } }),
    };
    for (const auto& list : cases) {
        auto xml = writePropertyListXML(list);
        ASSERT_FALSE(xml);
        EXPECT_EQ(xml.error().kind, PropertyListError::Case::unwritable);
        EXPECT_FALSE(xml.error().description().empty());
    }
}

TEST(PropertyListBinary, ReadsEveryKindIncludingDateFractions)
{
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "negative", plist_new_uint(static_cast<std::uint64_t>(-300000)));
    plist_dict_set_item(root, "big", plist_new_uint(static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::min())));
    plist_dict_set_item(root, "real", plist_new_real(-0.75));
    plist_dict_set_item(root, "flag", plist_new_bool(1));
    plist_dict_set_item(root, "name", plist_new_string("Platinum ✓"));
    plist_dict_set_item(root, "blob", plist_new_data("\x00\xff\x10", 3));
    plist_dict_set_item(root, "when", plist_new_date(-86400, 250000));
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_string("a"));
    plist_array_append_item(list, plist_new_dict());
    plist_dict_set_item(root, "list", list);

    auto read = readPropertyList(binaryOf(root));
    ASSERT_TRUE(read) << read.error().description();
    const PropertyList expected(PropertyList::Dictionary {
        { "negative", -300000 },
        { "big", std::numeric_limits<std::int64_t>::min() },
        { "real", -0.75 },
        { "flag", true },
        { "name", "Platinum ✓" },
        { "blob", Bytes { 0x00, 0xff, 0x10 } },
        { "when", kEpoch2001 - 86400s + 250ms },
        { "list", PropertyList::Array { "a", PropertyList::Dictionary {} } },
    });
    EXPECT_EQ(*read, expected);
}

TEST(PropertyListBinary, AUIDIsAnUnsupportedValue)
{
    plist_t root = plist_new_array();
    plist_array_append_item(root, plist_new_uid(3));
    auto read = readPropertyList(binaryOf(root));
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().kind, PropertyListError::Case::unsupportedValue);
    EXPECT_NE(read.error().description().find("UID"), std::string::npos);
}

TEST(PropertyListReading, MalformedOrTruncatedInputIsAnError)
{
    const char* texts[] = {
        "",
        "hello",
        "<plist><dict><key>a</key>",
        "<plist><array><true/>",
        "bplist00",
    };
    for (const char* text : texts) {
        auto read = readPropertyList(bytesOf(text));
        EXPECT_FALSE(read) << text;
    }

    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "TintraMasterVolume", plist_new_real(0.5));
    plist_dict_set_item(root, "TintraSoundSetOverrides", plist_new_array());
    const Bytes full = binaryOf(root);
    ASSERT_TRUE(readPropertyList(full));
    for (std::size_t length = 0; length < full.size(); ++length)
        EXPECT_FALSE(readPropertyList(std::span(full.data(), length))) << "prefix of " << length << " bytes";
}

TEST(PropertyListReading, InputBeyondTheSizeLimitIsRefusedUnread)
{
    // Also guards the cast to libplist's 32-bit length.
    Bytes big(kPropertyListMaxBytes + 1, ' ');
    const std::string_view head = "<plist><array>";
    std::copy(head.begin(), head.end(), big.begin());
    auto read = readPropertyList(big);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().kind, PropertyListError::Case::tooLarge);
    big.resize(big.size() - 1);
    read = readPropertyList(big);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().kind, PropertyListError::Case::malformed);
}

// A binary list whose objects each refer twice to the next: small on disk,
// 2^count nodes when expanded.
Bytes sharedReferenceChain(int count)
{
    Bytes bytes = bytesOf("bplist00");
    Bytes offsets;
    for (int i = 0; i < count; ++i) {
        offsets.push_back(static_cast<std::uint8_t>(bytes.size()));
        bytes.insert(bytes.end(), { 0xa2, static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 1) });
    }
    offsets.push_back(static_cast<std::uint8_t>(bytes.size()));
    bytes.push_back(0x09); // true
    const auto tableOffset = static_cast<std::uint8_t>(bytes.size());
    bytes.insert(bytes.end(), offsets.begin(), offsets.end());
    Bytes trailer(32, 0);
    trailer[6] = 1; // offset size
    trailer[7] = 1; // reference size
    trailer[15] = static_cast<std::uint8_t>(count + 1);
    trailer[31] = tableOffset;
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    return bytes;
}

TEST(PropertyListReading, HostileBinaryIsRefusedBeforeItExpands)
{
    auto small = readPropertyList(sharedReferenceChain(4));
    ASSERT_TRUE(small) << small.error().description();
    const PropertyList leaf = PropertyList::Array { true, true };
    EXPECT_EQ(*small->asArray(), (PropertyList::Array { PropertyList::Array { PropertyList::Array { leaf, leaf }, PropertyList::Array { leaf, leaf } },
                                      PropertyList::Array { PropertyList::Array { leaf, leaf }, PropertyList::Array { leaf, leaf } } }));

    auto huge = readPropertyList(sharedReferenceChain(60));
    ASSERT_FALSE(huge);
    EXPECT_EQ(huge.error().kind, PropertyListError::Case::tooLarge);

    // An array that contains itself.
    Bytes loop = bytesOf("bplist00");
    loop.insert(loop.end(), { 0xa1, 0x00, 0x08 });
    Bytes trailer(32, 0);
    trailer[6] = 1;
    trailer[7] = 1;
    trailer[15] = 1;
    trailer[31] = 11;
    loop.insert(loop.end(), trailer.begin(), trailer.end());
    auto looped = readPropertyList(loop);
    ASSERT_FALSE(looped);
    EXPECT_EQ(looped.error().kind, PropertyListError::Case::malformed);
}

// A dictionary of one entry, { key: true }, with the key's object bytes as given.
Bytes binaryDictionaryWithKey(const Bytes& key)
{
    Bytes bytes = bytesOf("bplist00");
    bytes.insert(bytes.end(), { 0xd1, 0x01, 0x02 });
    const auto keyOffset = static_cast<std::uint8_t>(bytes.size());
    bytes.insert(bytes.end(), key.begin(), key.end());
    const auto valueOffset = static_cast<std::uint8_t>(bytes.size());
    bytes.push_back(0x09); // true
    const auto tableOffset = static_cast<std::uint8_t>(bytes.size());
    bytes.insert(bytes.end(), { 0x08, keyOffset, valueOffset });
    Bytes trailer(32, 0);
    trailer[6] = 1;
    trailer[7] = 1;
    trailer[15] = 3;
    trailer[31] = tableOffset;
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    return bytes;
}

TEST(PropertyListReading, BinaryKeysMustBeStringsWithoutNulCharacters)
{
    auto plain = readPropertyList(binaryDictionaryWithKey({ 0x52, 'a', 'b' }));
    ASSERT_TRUE(plain) << plain.error().description();
    EXPECT_EQ(*plain->asDictionary(), (PropertyList::Dictionary { { "ab", true } }));

    // libplist would abort the process on each of these.
    for (const Bytes& key : { Bytes { 0x53, 'a', 0x00, 'b' }, Bytes { 0x62, 0x00, 'a', 0x00, 0x00 }, Bytes { 0x10, 0x07 } }) {
        auto read = readPropertyList(binaryDictionaryWithKey(key));
        ASSERT_FALSE(read);
        EXPECT_EQ(read.error().kind, PropertyListError::Case::malformed);
    }
}

std::string nestedArrays(int depth)
{
    std::string text = "<plist>";
    for (int i = 0; i < depth; ++i)
        text += "<array>";
    for (int i = 0; i < depth; ++i)
        text += "</array>";
    return text + "</plist>";
}

TEST(PropertyListReading, NestingIsLimitedInEveryFormat)
{
    EXPECT_TRUE(readPropertyList(bytesOf(nestedArrays(kPropertyListMaxDepth))));
    auto tooDeep = readPropertyList(bytesOf(nestedArrays(kPropertyListMaxDepth + 1)));
    ASSERT_FALSE(tooDeep);
    EXPECT_EQ(tooDeep.error().kind, PropertyListError::Case::tooDeep);

    plist_t root = plist_new_array();
    plist_t innermost = root;
    for (int i = 0; i < kPropertyListMaxDepth + 5; ++i) {
        plist_t child = plist_new_array();
        plist_array_append_item(innermost, child);
        innermost = child;
    }
    auto binary = readPropertyList(binaryOf(root));
    ASSERT_FALSE(binary);
    EXPECT_EQ(binary.error().kind, PropertyListError::Case::tooDeep);

    PropertyList deep = PropertyList::Array {};
    for (int i = 0; i < kPropertyListMaxDepth; ++i)
        deep = PropertyList::Array { deep };
    auto written = writePropertyListXML(deep);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().kind, PropertyListError::Case::tooDeep);
}

} // namespace
} // namespace tintra
