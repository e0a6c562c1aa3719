#pragma once

#include "catalogue/SoundCategory.h"

#include <optional>
#include <ostream>

namespace tintra::cli {

// The listed catalogue as a table for people making sound sets, in catalogue order.
void printEventTable(std::ostream& out, std::optional<TintraSoundCategory> category);

} // namespace tintra::cli
