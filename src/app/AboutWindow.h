#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

namespace tintra {

// "About Tintra Dorvel": our about text above a line with the version,
// "0.1.0 (BUILD)". Made on its first showing and kept for the next ones.
class TintraAboutWindow {
public:
    // "SHORT (BUILD)", or SHORT alone without a build number; none without a short version.
    static std::optional<QString> versionLine(const QString& shortVersion, const QString& build);

    void show();
    QWidget* window() const { return window_.get(); }

private:
    std::unique_ptr<QWidget> window_;
};

} // namespace tintra
