#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tintra {

// A four-character sound code, first character in the most significant byte
// ('mnuo' is 0x6D6E756F).
struct TintraSoundID {
    std::uint32_t rawValue = 0;

    constexpr TintraSoundID() = default;
    constexpr explicit TintraSoundID(std::uint32_t raw) : rawValue(raw) {}
    // From a four-character literal: TintraSoundID("mnuo").
    consteval TintraSoundID(const char (&code)[5])
        : rawValue(std::uint32_t(std::uint8_t(code[0])) << 24 | std::uint32_t(std::uint8_t(code[1])) << 16
              | std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint32_t(std::uint8_t(code[3])))
    {
    }

    // Always four characters; bytes outside 32…126 show as "?".
    std::string description() const;

    // A code stored as text: only exactly four UTF-8 bytes, read big-endian.
    static std::optional<TintraSoundID> fromText(std::string_view text);

    friend constexpr auto operator<=>(TintraSoundID, TintraSoundID) = default;

    static const TintraSoundID moveToTrash;
    static const TintraSoundID mouseClick;
    static const TintraSoundID keyPress;
    static const TintraSoundID keyModifier;
    static const TintraSoundID applicationHide;
    static const TintraSoundID applicationShow;
    static const TintraSoundID dragBegin;
    static const TintraSoundID applicationQuit;
    static const TintraSoundID login;
    static const TintraSoundID logout;
};

inline constexpr TintraSoundID TintraSoundID::moveToTrash { "!mot" };
inline constexpr TintraSoundID TintraSoundID::mouseClick { "!mdo" };
inline constexpr TintraSoundID TintraSoundID::keyPress { "!kdo" };
inline constexpr TintraSoundID TintraSoundID::keyModifier { "!kmd" };
inline constexpr TintraSoundID TintraSoundID::applicationHide { "@aph" };
inline constexpr TintraSoundID TintraSoundID::applicationShow { "@aps" };
inline constexpr TintraSoundID TintraSoundID::dragBegin { "dtBE" };
inline constexpr TintraSoundID TintraSoundID::applicationQuit { "!aqt" };
inline constexpr TintraSoundID TintraSoundID::login { "!lgi" };
inline constexpr TintraSoundID TintraSoundID::logout { "!lgo" };

} // namespace tintra

template <>
struct std::hash<tintra::TintraSoundID> {
    std::size_t operator()(tintra::TintraSoundID id) const noexcept { return std::hash<std::uint32_t> {}(id.rawValue); }
};
