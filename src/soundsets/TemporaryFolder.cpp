#include "soundsets/TemporaryFolder.h"

#include <fmt/format.h>

#include <random>

namespace tintra {

namespace fs = std::filesystem;

std::string makeUUIDText()
{
    thread_local std::mt19937_64 generator { std::random_device {}() };
    std::uint64_t high = generator();
    std::uint64_t low = generator();
    high = (high & ~0xF000ull) | 0x4000ull;                        // version 4
    low = (low & ~(0xC0ull << 56)) | (0x80ull << 56);              // RFC 4122 variant
    return fmt::format("{:08X}-{:04X}-{:04X}-{:04X}-{:012X}", high >> 32, (high >> 16) & 0xFFFF, high & 0xFFFF,
        low >> 48, low & 0xFFFFFFFFFFFFull);
}

tl::expected<fs::path, std::error_code> makeTemporaryFolder(const fs::path& root, std::string_view prefix)
{
    const fs::path folder = root / (std::string(prefix) + makeUUIDText());
    std::error_code error;
    fs::create_directories(root, error);
    if (!error && !fs::create_directory(folder, error) && !error)
        error = std::make_error_code(std::errc::file_exists);
    if (error)
        return tl::unexpected(error);
    return folder;
}

} // namespace tintra
