#include "catalogue/SoundCategory.h"

namespace tintra {

std::string_view title(TintraSoundCategory category)
{
    switch (category) {
    case TintraSoundCategory::window: return "Windows";
    case TintraSoundCategory::menu: return "Menus";
    case TintraSoundCategory::control: return "Controls";
    case TintraSoundCategory::finder: return "Finder";
    }
    return {};
}

std::string_view name(TintraSoundCategory category)
{
    switch (category) {
    case TintraSoundCategory::window: return "window";
    case TintraSoundCategory::menu: return "menu";
    case TintraSoundCategory::control: return "control";
    case TintraSoundCategory::finder: return "finder";
    }
    return {};
}

std::optional<TintraSoundCategory> soundCategory(std::string_view text)
{
    for (auto category : allSoundCategories) {
        if (name(category) == text)
            return category;
    }
    return std::nullopt;
}

} // namespace tintra
