#pragma once

#include "input/KeyboardHardware.h"

#include <map>

namespace tintra {

// Keyboards in memory: the current type and each type's layout code, which
// is ANSI unless set. Counts layout questions so that tests see the cache.
class KeyboardHardwareFake final : public KeyboardHardware {
public:
    void setCurrentKeyboardType(std::int64_t type) { current_ = type; }
    void setLayoutType(std::uint16_t keyboardType, std::uint32_t layoutType) { layouts_[keyboardType] = layoutType; }
    int layoutQuestions() const { return layoutQuestions_; }

    std::int64_t currentKeyboardType() override { return current_; }
    std::uint32_t layoutType(std::uint16_t keyboardType) override
    {
        ++layoutQuestions_;
        const auto found = layouts_.find(keyboardType);
        return found == layouts_.end() ? ansiLayoutType : found->second;
    }

private:
    std::int64_t current_ = 40;
    std::map<std::uint16_t, std::uint32_t> layouts_;
    int layoutQuestions_ = 0;
};

} // namespace tintra
