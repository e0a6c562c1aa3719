#include "app/Unavailable.h"

#include <unistd.h>

#include <iostream>

namespace tintra {

void reportUnavailable(const std::string& what)
{
    std::cerr << "Tintra Dorvel: " << what << "." << std::endl;
}

AXElement AccessibilityUnavailable::applicationElement(std::int32_t processIdentifier)
{
    return AXElement(processIdentifier, "unavailable:" + std::to_string(processIdentifier));
}

AXAttributeResult AccessibilityUnavailable::copyAttributeValue(const AXElement&, const std::string&)
{
    return tl::unexpected(AXError::apiDisabled);
}

tl::expected<std::vector<AXAttributeResult>, AXError> AccessibilityUnavailable::copyMultipleAttributeValues(
    const AXElement&, const std::vector<std::string>&)
{
    return tl::unexpected(AXError::apiDisabled);
}

tl::expected<std::vector<std::string>, AXError> AccessibilityUnavailable::copyAttributeNames(const AXElement&)
{
    return tl::unexpected(AXError::apiDisabled);
}

tl::expected<std::vector<std::string>, AXError> AccessibilityUnavailable::copyActionNames(const AXElement&)
{
    return tl::unexpected(AXError::apiDisabled);
}

tl::expected<std::vector<std::string>, AXError> AccessibilityUnavailable::copyParameterizedAttributeNames(const AXElement&)
{
    return tl::unexpected(AXError::apiDisabled);
}

tl::expected<AXElement, AXError> AccessibilityUnavailable::elementAtPosition(const AXElement&, AXPoint)
{
    return tl::unexpected(AXError::apiDisabled);
}

tl::expected<std::int32_t, AXError> AccessibilityUnavailable::processIdentifier(const AXElement&)
{
    return tl::unexpected(AXError::apiDisabled);
}

tl::expected<std::unique_ptr<AXObserver>, AXError> AccessibilityUnavailable::createObserver(std::int32_t, AXObserverCallback)
{
    return tl::unexpected(AXError::apiDisabled);
}

WorkspaceUnavailable::WorkspaceUnavailable()
    : host_(static_cast<std::int32_t>(::getpid()))
{
    reportUnavailable("no view of the running applications, so none is observed");
}

std::int32_t SilenceFactsUnavailable::ownProcessIdentifier()
{
    return static_cast<std::int32_t>(::getpid());
}

} // namespace tintra
