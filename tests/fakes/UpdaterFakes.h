#pragma once

#include "shell/UpdateFeed.h"
#include "shell/UpdateUserDriver.h"
#include "shell/UserNotifications.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tintra {

// A feed whose checks wait until the test answers them.
class UpdateFeedFake final : public UpdateFeed {
public:
    void fetchItems(std::function<void(Items)> completion) override { pending.push_back(std::move(completion)); }
    void download(const TintraAppcastItem&, const std::filesystem::path&, std::function<void(Download)>) override {}

    void answer(Items items)
    {
        auto completion = std::move(pending.front());
        pending.erase(pending.begin());
        completion(std::move(items));
    }

    std::vector<std::function<void(Items)>> pending;
};

// Records what the updater showed.
class UpdateUserDriverFake final : public UpdateUserDriver {
public:
    bool isApplicationActive() const override { return isActive; }
    void showUpdate(const TintraAppcastItem& update) override { shown.push_back("update " + update.displayVersion); }
    void showUpToDate() override { shown.push_back("up to date"); }
    void showUpdateError(const std::string& message) override { shown.push_back("error " + message); }

    bool isActive = false;
    std::vector<std::string> shown;
};

// Notifications on screen, by identifier; authorization answers at once.
class UserNotificationsFake final : public UserNotifications {
public:
    struct Shown {
        std::string title;
        std::string body;
        std::function<void()> clicked;
    };

    void requestAuthorization(std::function<void(bool)> completion) override
    {
        ++authorizationRequests;
        completion(grants);
    }
    void post(const std::string& identifier, const std::string& title, const std::string& body,
        std::function<void()> clicked) override
    {
        shown[identifier] = { title, body, std::move(clicked) };
    }
    void remove(const std::string& identifier) override { shown.erase(identifier); }

    void click(const std::string& identifier)
    {
        auto clicked = std::move(shown.at(identifier).clicked);
        shown.erase(identifier);
        clicked();
    }

    bool grants = true;
    int authorizationRequests = 0;
    std::map<std::string, Shown> shown;
};

} // namespace tintra
