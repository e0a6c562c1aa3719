#pragma once

#include <cstdint>
#include <vector>

namespace tintra {

using Bytes = std::vector<std::uint8_t>;

} // namespace tintra
