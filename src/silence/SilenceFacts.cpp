#include "silence/SilenceFacts.h"

#include <fmt/format.h>

namespace tintra {

std::string SilenceFactError::description() const
{
    switch (kind) {
    case Case::serviceUnavailable: return fmt::format("Could not ask for {}: the service is unavailable.", operation);
    case Case::callFailed: return fmt::format("Could not ask for {}: error {}.", operation, code);
    }
    return {};
}

} // namespace tintra
