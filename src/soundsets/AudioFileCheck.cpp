#include "soundsets/AudioFileCheck.h"

#include <sndfile.h>

namespace tintra {

namespace fs = std::filesystem;

tl::expected<void, PlatformError> checkAudioOpens(const fs::path& url)
{
    // Opening a pipe or a device would block or read forever.
    std::error_code error;
    const auto type = fs::status(url, error).type();
    if (type == fs::file_type::directory)
        return tl::unexpected(PlatformError::from(std::make_error_code(std::errc::is_a_directory)));
    if (type == fs::file_type::not_found)
        return tl::unexpected(PlatformError::from(std::make_error_code(std::errc::no_such_file_or_directory)));
    if (type != fs::file_type::regular)
        return tl::unexpected(PlatformError::from(std::make_error_code(std::errc::not_supported)));
    SF_INFO info {};
    SNDFILE* file = sf_open(url.c_str(), SFM_READ, &info);
    if (!file)
        return tl::unexpected(PlatformError { sf_strerror(nullptr) });
    sf_close(file);
    return {};
}

} // namespace tintra
