#include "soundsets/SoundIDKey.h"

#include "support/Text.h"

#include <algorithm>

namespace tintra {

std::string soundIDKey(TintraSoundID soundID)
{
    std::string raw;
    for (int shift = 24; shift >= 0; shift -= 8)
        raw += static_cast<char>((soundID.rawValue >> shift) & 0xFF);
    const bool printable = std::none_of(raw.begin(), raw.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    return printable && decodeUTF8(raw) ? raw : soundID.description();
}

} // namespace tintra
