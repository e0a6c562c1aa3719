#include "accessibility/AXError.h"

#include <fmt/format.h>

namespace tintra {

std::string errorName(AXError error)
{
    switch (error) {
    case AXError::success: return "success";
    case AXError::failure: return "failure";
    case AXError::illegalArgument: return "illegalArgument";
    case AXError::invalidUIElement: return "invalidUIElement";
    case AXError::invalidUIElementObserver: return "invalidUIElementObserver";
    case AXError::cannotComplete: return "cannotComplete";
    case AXError::attributeUnsupported: return "attributeUnsupported";
    case AXError::actionUnsupported: return "actionUnsupported";
    case AXError::notificationUnsupported: return "notificationUnsupported";
    case AXError::notImplemented: return "notImplemented";
    case AXError::notificationAlreadyRegistered: return "notificationAlreadyRegistered";
    case AXError::notificationNotRegistered: return "notificationNotRegistered";
    case AXError::apiDisabled: return "apiDisabled";
    case AXError::noValue: return "noValue";
    case AXError::parameterizedAttributeUnsupported: return "parameterizedAttributeUnsupported";
    case AXError::notEnoughPrecision: return "notEnoughPrecision";
    }
    // Codes outside the table arrive as they came from the platform.
    return fmt::format("AXError {}", rawValue(error));
}

} // namespace tintra
