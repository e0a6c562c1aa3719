#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tintra {

enum class TintraSoundCategory : int {
    window = 0,
    menu = 1,
    control = 2,
    finder = 3,
};

inline constexpr std::array<TintraSoundCategory, 4> allSoundCategories {
    TintraSoundCategory::window,
    TintraSoundCategory::menu,
    TintraSoundCategory::control,
    TintraSoundCategory::finder,
};

constexpr std::optional<TintraSoundCategory> soundCategory(int rawValue)
{
    if (rawValue < 0 || rawValue >= int(allSoundCategories.size()))
        return std::nullopt;
    return TintraSoundCategory(rawValue);
}

// The settings window's section title ("Windows", "Menus", "Controls", "Finder").
std::string_view title(TintraSoundCategory category);

// The code name as written in sound-set tools and logs ("window", "menu", …).
std::string_view name(TintraSoundCategory category);
std::optional<TintraSoundCategory> soundCategory(std::string_view name);

} // namespace tintra
