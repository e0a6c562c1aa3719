#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tintra {

// Classic operating-system status codes the fork reader reports.
namespace osStatus {
inline constexpr std::int32_t eofErr = -39;       // the fork is missing or empty
inline constexpr std::int32_t fnfErr = -43;       // no such file
inline constexpr std::int32_t paramErr = -50;     // not a file: a folder, or no path at all
inline constexpr std::int32_t ioErr = -36;        // the file exists but could not be read
inline constexpr std::int32_t permErr = -54;      // the file may not be read
inline constexpr std::int32_t mapReadErr = -199;  // the resource map is damaged
} // namespace osStatus

// A failed fork read, in the domain "TintraResourceForkErrorDomain" with a classic status code.
struct TintraResourceForkError {
    enum class Case { notAFileURL, couldNotLocate, noReadableFork, emptyFork };
    static constexpr std::string_view domain = "TintraResourceForkErrorDomain";

    Case kind;
    std::int32_t code;

    // "The file has no readable resource fork", …
    std::string description() const;

    friend bool operator==(const TintraResourceForkError&, const TintraResourceForkError&) = default;
};

} // namespace tintra
