#pragma once

#include <string>
#include <system_error>

namespace tintra {

// A failure reported by the operating system or a file format library,
// carried as its own localized text and never translated.
struct PlatformError {
    std::string message;

    static PlatformError from(const std::error_code& error) { return { error.message() }; }
    const std::string& description() const { return message; }

    bool operator==(const PlatformError&) const = default;
};

} // namespace tintra
