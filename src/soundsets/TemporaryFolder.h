#pragma once

#include <tl/expected.hpp>

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tintra {

// A fresh random UUID in its standard text form (8-4-4-4-12 upper-case hex digits).
std::string makeUUIDText();

// Creates PREFIX + a fresh UUID inside `root`, with missing parents.
tl::expected<std::filesystem::path, std::error_code> makeTemporaryFolder(
    const std::filesystem::path& root, std::string_view prefix);

} // namespace tintra
