#pragma once

#include <cstdint>
#include <string>

namespace tintra {

// The accessibility service's error codes, with the platform's numbers.
// Callers carry them as they come; only success and cannotComplete
// (the application did not answer in time) have a meaning of their own.
enum class AXError : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidUIElement = -25202,
    invalidUIElementObserver = -25203,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    actionUnsupported = -25206,
    notificationUnsupported = -25207,
    notImplemented = -25208,
    notificationAlreadyRegistered = -25209,
    notificationNotRegistered = -25210,
    apiDisabled = -25211,
    noValue = -25212,
    parameterizedAttributeUnsupported = -25213,
    notEnoughPrecision = -25214,
};

constexpr std::int32_t rawValue(AXError error) { return static_cast<std::int32_t>(error); }

// The short name shown in element descriptions ("cannotComplete"), or
// "AXError " and the number for a code outside the table.
std::string errorName(AXError error);

} // namespace tintra
