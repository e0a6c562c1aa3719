#include "platform/linux/updates/AppcastXml.h"

#include <cstdlib>
#include <string_view>

// Appcasts on any bytes; every item that comes out has a display version
// whenever it has a version.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto items = tintra::parseAppcast(std::string_view(reinterpret_cast<const char*>(data), size));
    if (items) {
        for (const auto& item : *items) {
            if (!item.version.empty() && item.displayVersion.empty())
                std::abort();
        }
    }
    return 0;
}
