#pragma once

#include "shell/LoginItemService.h"

#include <deque>
#include <optional>
#include <string>

namespace tintra {

// A login-item facility in memory: answers with queued results and counts its calls.
class LoginItemServiceFake final : public TintraLoginItemService {
public:
    TintraLoginItemStatus status() override { return current; }
    tl::expected<void, TintraLoginItemError> registerItem() override { return answer(true); }
    tl::expected<void, TintraLoginItemError> unregisterItem() override { return answer(false); }

    TintraLoginItemStatus current = TintraLoginItemStatus::notRegistered;
    // A failure's message, or nothing for success; success once they run out.
    std::deque<std::optional<std::string>> results;
    int calls = 0;

private:
    tl::expected<void, TintraLoginItemError> answer(bool on)
    {
        ++calls;
        auto result = results.empty() ? std::nullopt : results.front();
        if (!results.empty())
            results.pop_front();
        if (result)
            return tl::unexpected(TintraLoginItemError { *result });
        current = on ? TintraLoginItemStatus::enabled : TintraLoginItemStatus::notRegistered;
        return {};
    }
};

} // namespace tintra
