#pragma once

#include "core/dates.h"
#include "reports/chartfiles.h"

#include <QDate>
#include <QDesktopServices>
#include <QUrl>

#include <functional>

namespace vorlan {

// What a report window takes from outside besides the program's context; tests replace
// the clock and the chart component's version.
struct ReportWindowOptions {
    // Today's business day.
    std::function<QDate()> today = [] { return businessDate(QDateTime::currentDateTime()); };
    int chartVersion = chartPlayerVersion();
    std::function<void()> openDownloadPage = [] {
        QDesktopServices::openUrl(QUrl(QStringLiteral("https://www.adobe.com/products/flashplayer/end-of-life.html")));
    };
};

} // namespace vorlan
