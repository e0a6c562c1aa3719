#pragma once

#include "support/PropertyList.h"

#include <ostream>

namespace tintra {

// Lets GoogleTest show a property list as its XML, or its dates in nanoseconds
// when XML cannot hold it.
inline void PrintTo(const PropertyList& list, std::ostream* out)
{
    if (const auto* date = list.asDate()) {
        *out << "date " << date->time_since_epoch().count() << " ns since 1970";
        return;
    }
    auto xml = writePropertyListXML(list);
    *out << (xml ? *xml : xml.error().description());
}

} // namespace tintra
