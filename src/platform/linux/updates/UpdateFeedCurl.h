#pragma once

#include "shell/UpdateFeed.h"
#include "support/BackgroundExecutor.h"

#include <atomic>
#include <memory>
#include <string>

namespace tintra {

// The update feed over HTTPS with libcurl, read and fetched on a worker
// thread of its own; a download is kept only when its Ed25519 signature
// holds for the feed's public key. Main thread only.
class UpdateFeedCurl final : public UpdateFeed {
public:
    UpdateFeedCurl(MainExecutor& main, std::string feedURL, std::string publicEDKey);
    // Breaks off a transfer under way rather than waiting for it.
    ~UpdateFeedCurl() override;

    void fetchItems(std::function<void(Items)> completion) override;
    void download(const TintraAppcastItem& item, const std::filesystem::path& folder,
        std::function<void(Download)> completion) override;

private:
    const std::string feedURL_;
    const std::string publicEDKey_;
    const std::shared_ptr<std::atomic<bool>> isStopping_ = std::make_shared<std::atomic<bool>>(false);
    // Last: its destructor waits for the transfer under way.
    BackgroundExecutor worker_;
};

} // namespace tintra
