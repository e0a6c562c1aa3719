#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tintra {

// A reference to one element of another application's interface. Elements are
// equal when they name the same interface object (same process, same identity
// within it), never by the identity of the reference itself. The platform
// keeps whatever it needs to talk to the element in `platformHandle`.
class AXElement {
public:
    AXElement() = default;
    AXElement(std::int32_t processIdentifier, std::string identity, std::shared_ptr<void> platformHandle = {})
        : processIdentifier_(processIdentifier)
        , identity_(std::move(identity))
        , platformHandle_(std::move(platformHandle))
    {
    }

    bool isNull() const { return identity_.empty(); }
    std::int32_t processIdentifier() const { return processIdentifier_; }
    const std::string& identity() const { return identity_; }
    const std::shared_ptr<void>& platformHandle() const { return platformHandle_; }

    friend bool operator==(const AXElement& a, const AXElement& b)
    {
        return a.processIdentifier_ == b.processIdentifier_ && a.identity_ == b.identity_;
    }

private:
    std::int32_t processIdentifier_ = 0;
    std::string identity_;
    std::shared_ptr<void> platformHandle_;
};

} // namespace tintra

template <>
struct std::hash<tintra::AXElement> {
    std::size_t operator()(const tintra::AXElement& element) const noexcept
    {
        return std::hash<std::string> {}(element.identity()) ^ (std::hash<std::int32_t> {}(element.processIdentifier()) << 1);
    }
};
