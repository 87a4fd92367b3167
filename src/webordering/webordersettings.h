#pragma once

#include <QString>

namespace vorlan {

class RecordTable;

inline constexpr int kWebOrderDefaultRateLimit = 60;

// What the 扫码点餐 page keeps in 记录.
struct WebOrderSettings {
    quint16 port = 0;     // 0: the page is not served
    QString token;
    int requestsPerMinute = kWebOrderDefaultRateLimit;
};

// An unreadable port counts as none; an unreadable or non-positive limit as the default.
WebOrderSettings readWebOrderSettings(RecordTable &records);

// A fresh random token for the links: 16 letters and digits, safe in a URL.
QString newWebOrderToken();

} // namespace vorlan
