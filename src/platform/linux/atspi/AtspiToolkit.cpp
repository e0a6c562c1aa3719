#include "platform/linux/atspi/AtspiToolkit.h"

#include <strings.h>

#include <string>

namespace tintra {

AtspiToolkit toolkitFamily(std::string_view toolkitName, std::string_view toolkitVersion)
{
    const std::string name(toolkitName);
    if (strcasecmp(name.c_str(), "gtk") == 0)
        return toolkitVersion.starts_with("4") ? AtspiToolkit::gtk4 : AtspiToolkit::gtk3;
    if (strcasecmp(name.c_str(), "qt") == 0)
        return AtspiToolkit::qt;
    if (strcasecmp(name.c_str(), "gecko") == 0)
        return AtspiToolkit::gecko;
    if (strcasecmp(name.c_str(), "chromium") == 0)
        return AtspiToolkit::chromium;
    return AtspiToolkit::other;
}

} // namespace tintra
