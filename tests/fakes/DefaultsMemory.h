#pragma once

#include "support/Defaults.h"

#include <string>

namespace tintra {

// User defaults held in memory. Counts writes so that tests can see that a
// setter wrote through.
class DefaultsMemory final : public Defaults {
public:
    DefaultsMemory() = default;
    explicit DefaultsMemory(PropertyList::Dictionary initial) : values_(std::move(initial)) {}

    const PropertyList::Dictionary& values() const { return values_; }
    int writeCount() const { return writeCount_; }

protected:
    const PropertyList* lookup(std::string_view key) const override;
    void store(std::string_view key, PropertyList value) override;
    void erase(std::string_view key) override;

private:
    PropertyList::Dictionary values_;
    int writeCount_ = 0;
};

} // namespace tintra
