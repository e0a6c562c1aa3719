#include "soundsets/ClassicFileWriter.h"
#include "soundsets/SoundResource.h"

#include <gtest/gtest.h>

namespace tintra {
namespace {

using namespace testing;

constexpr std::uint32_t rate22k = 0x56EE8BA3;  // 22254.5454… Hz
constexpr std::uint32_t rate44k = 0xAC440000;

TEST(SoundResource, StandardHeaderGivesCentredEightBitMono)
{
    const auto sound = decodeSoundResource(soundFormat2(standardHeader({ 0x80, 0x00, 0xFF, 0x81 }, rate22k)));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, (std::vector<std::int16_t> { 0, -32768, 32512, 256 }));
    EXPECT_EQ(sound->channelCount, 1u);
    EXPECT_NEAR(sound->sampleRate, 22254.5454, 1e-4);
    EXPECT_EQ(sound->sampleRate, rate22k / 65536.0);
}

TEST(SoundResource, FormatOneWithModifierAndTruncatedSamplesDecodesWhatIsThere)
{
    auto resource = soundFormat1(standardHeader(Bytes(60, 0x90), rate22k, 100), 81, 1);
    const auto sound = decodeSoundResource(resource);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples.size(), 60u);
    EXPECT_EQ(sound->samples.front(), 0x10 * 256);
}

TEST(SoundResource, TopBitOfTheCommandIsIgnoredAndTheLastHeaderCommandWins)
{
    EXPECT_TRUE(decodeSoundResource(soundFormat1(standardHeader({ 1 }, rate22k), 0x8051)));
    EXPECT_TRUE(decodeSoundResource(soundFormat1(standardHeader({ 1 }, rate22k), 0x0050)));
    EXPECT_FALSE(decodeSoundResource(soundFormat1(standardHeader({ 1 }, rate22k), 0x002C)));  // a callBackCmd only

    // Two commands, each naming its own header: the second one is decoded.
    const auto first = standardHeader({ 0x10, 0x20 }, rate22k);
    const auto second = standardHeader({ 0x30 }, rate44k);
    Bytes sound { 0, 2, 0, 0, 0, 2 };
    for (const std::uint32_t offset : { 22u, 22u + std::uint32_t(first.size()) }) {
        Bytes command { 0x80, 0x51, 0, 0, 0, 0, 0, 0 };
        put32(command, 4, offset);
        sound.insert(sound.end(), command.begin(), command.end());
    }
    sound.insert(sound.end(), first.begin(), first.end());
    sound.insert(sound.end(), second.begin(), second.end());
    EXPECT_EQ(findSoundHeader(sound), 22u + first.size());
    const auto decoded = decodeSoundResource(sound);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->sampleRate, 44100.0);
    EXPECT_EQ(decoded->samples, (std::vector<std::int16_t> { (0x30 - 128) * 256 }));
}

TEST(SoundResource, NoHeaderMeansNothing)
{
    const auto good = soundFormat2(standardHeader({ 1, 2 }, rate22k));
    std::vector<Bytes> broken { {}, { 0 }, { 0, 3, 0, 0, 0, 1 } };
    auto noCommands = good;
    put16(noCommands, 4, 0);
    broken.push_back(noCommands);
    auto headerOutside = good;
    put32(headerOutside, 10, 0xFFFFFFF0);
    broken.push_back(headerOutside);
    auto cutCommand = Bytes(good.begin(), good.begin() + 12);
    broken.push_back(cutCommand);
    auto shortHeader = Bytes(good.begin(), good.begin() + 14 + 21);
    broken.push_back(shortHeader);
    auto unknownKind = good;
    unknownKind[14 + 20] = 0x01;
    broken.push_back(unknownKind);
    auto noSamples = soundFormat2(standardHeader({}, rate22k, 0));
    broken.push_back(noSamples);
    auto manyModifiers = soundFormat1(standardHeader({ 1 }, rate22k));
    put16(manyModifiers, 2, 0xFFFF);
    broken.push_back(manyModifiers);
    for (const auto& bytes : broken)
        EXPECT_FALSE(decodeSoundResource(bytes)) << bytes.size();
}

TEST(SoundResource, ExtendedSixteenBitStereoIsBigEndianInterleaved)
{
    const std::vector<std::int16_t> samples { 1000, -1000, 32767, -32768, 5, 6 };
    const auto sound = decodeSoundResource(soundFormat2(extendedHeader(2, 3, 16, rate44k, bigEndian16(samples))));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, samples);
    EXPECT_EQ(sound->channelCount, 2u);
}

TEST(SoundResource, ExtendedSampleSizeZeroChoosesByTheBytesPresent)
{
    const auto sixteen = decodeSoundResource(soundFormat2(extendedHeader(2, 100, 0, rate44k, Bytes(400, 0x01))));
    ASSERT_TRUE(sixteen);
    EXPECT_EQ(sixteen->samples.size(), 200u);
    EXPECT_EQ(sixteen->samples[0], 0x0101);
    const auto eight = decodeSoundResource(soundFormat2(extendedHeader(2, 100, 0, rate44k, Bytes(399, 0x01))));
    ASSERT_TRUE(eight);
    EXPECT_EQ(eight->samples.size(), 200u);
    EXPECT_EQ(eight->samples[0], (1 - 128) * 256);
}

TEST(SoundResource, ExtendedHeaderEdges)
{
    // Zero channels count as one; 8-bit data shorter than declared gives what is there.
    const auto mono = decodeSoundResource(soundFormat2(extendedHeader(0, 10, 8, rate22k, Bytes(4, 0x80))));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->channelCount, 1u);
    EXPECT_EQ(mono->samples.size(), 4u);
    // An odd byte of 16-bit data is not half a sample.
    const auto odd = decodeSoundResource(soundFormat2(extendedHeader(1, 10, 16, rate22k, Bytes(5, 0))));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->samples.size(), 2u);
    EXPECT_FALSE(decodeSoundResource(soundFormat2(extendedHeader(1, 10, 24, rate22k, Bytes(30, 0)))));
    EXPECT_FALSE(decodeSoundResource(soundFormat2(extendedHeader(1, 10, 16, rate22k, {}))));
    auto cut = soundFormat2(extendedHeader(1, 10, 16, rate22k, {}));
    cut.resize(14 + 49);  // the sample size field is cut in half
    EXPECT_FALSE(decodeSoundResource(cut));
    // A frame count of 2^32 - 1 with 2^32 - 1 channels does not overflow.
    const auto huge = decodeSoundResource(soundFormat2(extendedHeader(0xFFFFFFFF, 0xFFFFFFFF, 8, rate22k, Bytes(3, 0x80))));
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->samples.size(), 3u);
}

TEST(SoundResource, MuLawExpandsThroughTheTable)
{
    const auto& table = muLawTable();
    EXPECT_EQ(table[0x00], -32124);
    EXPECT_EQ(table[0x80], 32124);
    EXPECT_EQ(table[0x7F], 0);
    EXPECT_EQ(table[0xFF], 0);
    EXPECT_EQ(table[0x0F], -16764);
    EXPECT_EQ(table[0xF0], 120);
    const auto sound = decodeSoundResource(soundFormat2(compressedHeader("ulaw", 1, 4, 0x1F400000, { 0x00, 0x80, 0x7F, 0xFF })));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, (std::vector<std::int16_t> { -32124, 32124, 0, 0 }));
    EXPECT_EQ(sound->sampleRate, 8000.0);
}

TEST(SoundResource, OtherCompressionIsNotDecoded)
{
    for (const auto* format : { "ima4", "MAC3", "MAC6", "ULAW", "alaw" })
        EXPECT_FALSE(decodeSoundResource(soundFormat2(compressedHeader(format, 1, 64, rate22k, Bytes(64, 1))))) << format;
    EXPECT_FALSE(decodeSoundResource(soundFormat2(compressedHeader("ulaw", 1, 64, rate22k, {}))));
}

} // namespace
} // namespace tintra
