#pragma once

#include "shell/Appcast.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tintra {

// The update feed and its files, read off the main thread. Each completion
// runs once, on the main thread; a failure carries one line for the user.
// Main thread only.
class UpdateFeed {
public:
    using Items = tl::expected<std::vector<TintraAppcastItem>, std::string>;
    using Download = tl::expected<std::filesystem::path, std::string>;

    virtual ~UpdateFeed() = default;

    // Every item of the appcast, in the feed's order.
    virtual void fetchItems(std::function<void(Items)> completion) = 0;
    // Fetches the item's file into `folder` under a name of its own. The file
    // is placed only once its Ed25519 signature holds; the completion gets
    // where it lies.
    virtual void download(const TintraAppcastItem& item, const std::filesystem::path& folder,
        std::function<void(Download)> completion) = 0;
};

} // namespace tintra
