#include "soundsets/CafFile.h"

#include <bit>

namespace tintra {
namespace {

void append(Bytes& bytes, std::uint64_t value, int width)
{
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
        bytes.push_back(std::uint8_t(value >> shift));
}

void appendCode(Bytes& bytes, const char (&code)[5])
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(std::uint8_t(code[i]));
}

constexpr std::uint32_t littleEndianFlag = 2;  // kCAFLinearPCMFormatFlagIsLittleEndian
constexpr std::uint32_t bytesPerSample = 2;

} // namespace

Bytes cafHeader(double sampleRate, std::uint32_t channelCount, std::uint64_t frameCount)
{
    Bytes header;
    appendCode(header, "caff");
    append(header, 1, 2);  // file version
    append(header, 0, 2);  // flags

    appendCode(header, "desc");
    append(header, 32, 8);
    append(header, std::bit_cast<std::uint64_t>(sampleRate), 8);
    appendCode(header, "lpcm");
    append(header, littleEndianFlag, 4);
    append(header, std::uint64_t(bytesPerSample) * channelCount, 4);  // bytes per packet
    append(header, 1, 4);                                            // frames per packet
    append(header, channelCount, 4);
    append(header, bytesPerSample * 8, 4);

    appendCode(header, "data");
    append(header, 4 + frameCount * channelCount * bytesPerSample, 8);
    append(header, 0, 4);  // edit count
    return header;
}

} // namespace tintra
