#pragma once

#include "shell/UpdateFeed.h"
#include "shell/UpdateUserDriver.h"
#include "support/WeakSelf.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tintra {

// The updater's windows: the update window, whose "Download" fetches the file
// into the user's download folder through the feed and shows it in the file
// manager, and the answers to a check the user asked for. Main thread only.
class TintraUpdateDialogs final : public UpdateUserDriver {
public:
    struct Desktop {
        std::string currentVersion;
        std::filesystem::path downloadFolder;
        std::function<void(const std::filesystem::path&)> revealFile;
    };

    TintraUpdateDialogs(UpdateFeed& feed, Desktop desktop);

    bool isApplicationActive() const override;
    void showUpdate(const TintraAppcastItem& update) override;
    void showUpToDate() override;
    void showUpdateError(const std::string& message) override;

    // The update window, once shown; for tests.
    QWidget* updateWindow() const { return window_.get(); }

private:
    void build();
    void download();
    void finishDownload(UpdateFeed::Download placed);

    UpdateFeed& feed_;
    const Desktop desktop_;
    TintraAppcastItem update_;
    std::filesystem::path downloaded_;
    std::unique_ptr<QWidget> window_;
    QLabel* headline_ = nullptr;
    QLabel* versions_ = nullptr;
    QTextBrowser* notes_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* download_ = nullptr;
    QPushButton* reveal_ = nullptr;
    WeakSelf<TintraUpdateDialogs> weakSelf_ { *this };
};

} // namespace tintra
