#include "app/BugReport.h"

#include <QDesktopServices>
#include <QUrl>

namespace tintra {

namespace {

QUrl trackerURL()
{
    const QUrl url(QStringLiteral(TINTRA_BUG_TRACKER_URL), QUrl::StrictMode);
    const bool isWeb = url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http");
    return url.isValid() && isWeb && !url.host().isEmpty() ? url : QUrl();
}

} // namespace

bool canReportBugs()
{
    return !trackerURL().isEmpty();
}

void reportBug()
{
    if (const auto url = trackerURL(); !url.isEmpty())
        QDesktopServices::openUrl(url);
}

} // namespace tintra
