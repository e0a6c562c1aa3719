#include "DefaultsMemory.h"

namespace tintra {

const PropertyList* DefaultsMemory::lookup(std::string_view key) const
{
    const auto found = values_.find(key);
    return found == values_.end() ? nullptr : &found->second;
}

void DefaultsMemory::store(std::string_view key, PropertyList value)
{
    values_.insert_or_assign(std::string(key), std::move(value));
    ++writeCount_;
}

void DefaultsMemory::erase(std::string_view key)
{
    const auto found = values_.find(key);
    if (found == values_.end())
        return;
    values_.erase(found);
    ++writeCount_;
}

} // namespace tintra
