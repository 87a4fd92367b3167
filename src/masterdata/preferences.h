#pragma once

#include <QString>
#include <QTime>

#include <optional>

namespace vorlan {

class DataStore;

// The operator's preferences kept in 记录: the decimal places of order-line quantities
// (小数位数, 0 to 3), the form of the order time (时间格式, 0 to 2) and the start of the
// business day (营业日开始时间, "00:00" to "11:59").

constexpr int kMaxDecimalPlaces = 3;

// The decimal places a typed text asks for (an empty text is 0), or nullopt when they are
// out of range.
std::optional<int> decimalPlacesFromText(const QString &text);

// The stored time format; anything but 1 or 2 is 0.
int readTimeFormat(DataStore &store);

// The stored start of the business day; a missing or unreadable value is midnight.
QTime readBusinessDayStart(DataStore &store);

// Store one preference; false (with the store's error) when the write failed.
bool saveDecimalPlaces(DataStore &store, int places);
bool saveTimeFormat(DataStore &store, int format);
bool saveBusinessDayStart(DataStore &store, const QTime &start);

} // namespace vorlan
