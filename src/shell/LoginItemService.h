#pragma once

#include <string>

#include <tl/expected.hpp>

namespace tintra {

// What the login-item facility says of this program. The values are the
// facility's own and fixed.
enum class TintraLoginItemStatus {
    notRegistered = 0,
    enabled = 1,
    requiresApproval = 2,
    notFound = 3,
};

// A failed register or unregister, in the platform's own localized words.
struct TintraLoginItemError {
    std::string message;
    const std::string& description() const { return message; }
};

// The platform's facility that opens this program at login. Main thread only.
// Registering an item that is registered, or unregistering one that is not,
// succeeds and leaves it so.
class TintraLoginItemService {
public:
    virtual ~TintraLoginItemService() = default;

    // Read from the platform on every call, never cached.
    virtual TintraLoginItemStatus status() = 0;
    // ("register" is reserved in C++.)
    virtual tl::expected<void, TintraLoginItemError> registerItem() = 0;
    virtual tl::expected<void, TintraLoginItemError> unregisterItem() = 0;
};

} // namespace tintra
