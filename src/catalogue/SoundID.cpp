#include "catalogue/SoundID.h"

namespace tintra {

std::string TintraSoundID::description() const
{
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        const auto byte = std::uint8_t(rawValue >> (24 - 8 * i));
        if (byte >= 32 && byte <= 126)
            text[i] = char(byte);
    }
    return text;
}

std::optional<TintraSoundID> TintraSoundID::fromText(std::string_view text)
{
    if (text.size() != 4)
        return std::nullopt;
    std::uint32_t raw = 0;
    for (char c : text)
        raw = raw << 8 | std::uint8_t(c);
    return TintraSoundID(raw);
}

} // namespace tintra
