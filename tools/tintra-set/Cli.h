#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace tintra::cli {

inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1;
inline constexpr int exitUsage = 2;

// Runs `tintra-set` with the words after the program name; returns the exit status.
int runTintraSet(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

} // namespace tintra::cli
