#include "platform/linux/atspi/AtspiRepeatFilter.h"

#include <iterator>

namespace tintra {

bool AtspiRepeatFilter::admit(const std::string& key, MonotonicTime now)
{
    // Keys of elements long gone would pile up otherwise.
    constexpr std::size_t pruneAbove = 256;
    if (lastAdmitted_.size() > pruneAbove) {
        for (auto entry = lastAdmitted_.begin(); entry != lastAdmitted_.end();)
            entry = now - entry->second >= window_ ? lastAdmitted_.erase(entry) : std::next(entry);
    }
    const auto [entry, inserted] = lastAdmitted_.try_emplace(key, now);
    if (inserted)
        return true;
    if (now - entry->second < window_)
        return false;
    entry->second = now;
    return true;
}

} // namespace tintra
